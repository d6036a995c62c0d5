// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The store's file helpers: a plain file handle with exact reads and writes, and the
// directory operations. Tests can make the n-th operation of a kind fail, so every
// failure path of a change can be walked.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "app/SafeFile.h"  // SyncDirectory

namespace stepora {

enum class FileOp { Open, Read, Write, Seek, Rename, Remove, Sync, Count_ };

// From now on, the n-th call (1-based) of that kind fails; 0 clears it.
void FailNthFileOp(FileOp op, uint32_t n);
void ClearFileFaults();

class StoreFile {
public:
    // Whatever the mode, only a regular file is opened; a FIFO or device is refused
    // without blocking. The creating modes never follow a link: CreateTruncate empties
    // the file only once it is known to be a regular file, CreateNew makes a new one.
    enum Mode { ReadOnly, ReadWrite, CreateTruncate, CreateNew };
    StoreFile() = default;
    ~StoreFile();
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    bool Open(const std::filesystem::path& path, Mode mode);
    // A new file of its own beside `target`, named after it; its name goes to `temp`.
    bool CreateBeside(const std::filesystem::path& target, std::filesystem::path& temp);
    bool IsOpen() const { return fd_ >= 0; }
    // Reads or writes exactly `length` bytes at the current position.
    bool ReadAll(void* buffer, size_t length);
    bool WriteAll(const void* buffer, size_t length);
    // Exactly `length` bytes from `offset` on, leaving the position where it was.
    bool ReadAt(uint64_t offset, void* buffer, size_t length);
    bool Seek(uint64_t offset);
    bool SeekEnd(uint64_t& offset);
    bool Size(uint64_t& size) const;
    bool Sync();
    bool Close();  // false when the handle was not open or a pending write failed

private:
    int fd_ = -1;
};

bool StoreRename(const std::filesystem::path& from, const std::filesystem::path& to);
bool StoreRemove(const std::filesystem::path& path);

}  // namespace stepora
