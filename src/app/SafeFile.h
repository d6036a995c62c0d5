// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files the program reads or replaces where someone else may have put anything: a link,
// a FIFO, a device. Nothing here blocks on such a thing or writes through a link.
#include <filesystem>
#include <string>

namespace stepora {

// A descriptor opened with `flags` (for reading when none are given; a new file gets mode
// 0644), or -1 when `path` is no regular file. The type is checked on the descriptor,
// which is opened without blocking and blocks again once it is known to be a file.
int OpenRegularFile(const std::filesystem::path& path, int flags = 0);
// The whole content of a regular file; false for anything else.
bool ReadRegularFile(const std::filesystem::path& path, std::string& bytes);

// A new file beside `target` (mode 0644, never an existing file or link): its descriptor
// and its name in `temp`, or -1.
int CreateTempBeside(const std::filesystem::path& target, std::filesystem::path& temp);
// Writes all of `bytes` at the current position of `fd`.
bool WriteFully(int fd, const void* bytes, size_t length);
bool SyncFile(int fd);
// Makes completed creations, renames and removals inside the directory durable.
void SyncDirectory(const std::filesystem::path& directory);
// The same for the directory that holds `file`.
void SyncDirectoryOf(const std::filesystem::path& file);
// Syncs and closes `fd`, then renames `temp` over `target` and syncs their folder: the
// target is the whole new file or what it was, and after success the new file for good.
// A failure removes `temp`.
bool CommitTemp(int fd, const std::filesystem::path& temp, const std::filesystem::path& target);

}  // namespace stepora
