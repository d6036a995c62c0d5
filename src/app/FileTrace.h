// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file operations that decide what a power cut leaves on disk, as they happen: every
// create, write, truncation, sync, rename and removal of the files the program keeps.
// Nothing listens in the program; the crash-state checker does, and replays them.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace stepora {

struct FileEvent {
    enum Kind : uint8_t {
        Open,      // fd now names the existing file `path`
        Create,    // fd names `path`, a file that did not exist before
        Write,     // `length` bytes of `data` at `offset` of fd's file
        Truncate,  // fd's file cut or extended to `offset` bytes
        Sync,      // fd's file is on disk
        Rename,    // `path` is now `to`, replacing what `to` was
        Remove,    // `path` is gone
        SyncDir,   // the names in the folder `path` are on disk
    };
    Kind kind;
    int fd = -1;
    std::filesystem::path path{}, to{};
    uint64_t offset = 0;
    const void* data = nullptr;
    size_t length = 0;
};

// Sends every event to `sink` from now on; an empty sink stops it.
void SetFileTrace(std::function<void(const FileEvent&)> sink);
bool FileTracing();
void TraceFile(const FileEvent& event);

}  // namespace stepora
