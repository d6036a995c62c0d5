// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/StoreFile.h"

#include "app/FileTrace.h"
#include "app/SafeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>
#include <array>
#include <cerrno>
#include <cstdio>

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif

namespace stepora {
namespace {

struct FaultCounter {
    uint32_t failAt = 0;  // 0: no fault planned
    uint32_t seen = 0;
};
std::array<FaultCounter, size_t(FileOp::Count_)> g_faults;

// True when this call is the planned failure.
bool Faulted(FileOp op) {
    FaultCounter& c = g_faults[size_t(op)];
    if (c.failAt == 0) return false;
    if (++c.seen == c.failAt) {
        c.failAt = 0;
        return true;
    }
    return false;
}

}  // namespace

void FailNthFileOp(FileOp op, uint32_t n) {
    g_faults[size_t(op)] = FaultCounter{n, 0};
}
void ClearFileFaults() {
    g_faults.fill(FaultCounter{});
}

StoreFile::~StoreFile() {
    Close();
}

bool StoreFile::Open(const std::filesystem::path& path, Mode mode) {
    Close();
    if (Faulted(FileOp::Open)) return false;
    int flags = O_BINARY;
    switch (mode) {
        case ReadOnly:
            flags |= O_RDONLY;
            break;
        case ReadWrite:
            flags |= O_RDWR;
            break;
        case CreateTruncate:
            flags |= O_RDWR | O_CREAT | O_NOFOLLOW;
            break;
        case CreateNew:
            flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
            break;
    }
    // The type is checked on what was opened, before any byte changes: a directory named
    // x.usr is no user, and a FIFO is nothing to wait for.
    fd_ = OpenRegularFile(path, flags);
    if (fd_ < 0) return false;
    if (mode == CreateTruncate) {
        if (::ftruncate(fd_, 0) != 0) {
            Close();
            return false;
        }
        if (FileTracing()) TraceFile({.kind = FileEvent::Truncate, .fd = fd_, .offset = 0});
    }
    return true;
}

bool StoreFile::CreateBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
    Close();
    if (Faulted(FileOp::Open)) return false;
    fd_ = CreateTempBeside(target, temp);
    return fd_ >= 0;
}

bool StoreFile::ReadAll(void* buffer, size_t length) {
    if (fd_ < 0 || Faulted(FileOp::Read)) return false;
    auto* p = static_cast<uint8_t*>(buffer);
    while (length > 0) {
        const ssize_t n = ::read(fd_, p, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // error or end of file: a short read
        p += n;
        length -= size_t(n);
    }
    return true;
}

bool StoreFile::WriteAll(const void* buffer, size_t length) {
    if (fd_ < 0 || Faulted(FileOp::Write)) return false;
    return WriteFully(fd_, buffer, length);
}

bool StoreFile::ReadAt(uint64_t offset, void* buffer, size_t length) {
    // Counted as the seek and the read it replaces.
    if (fd_ < 0 || Faulted(FileOp::Seek) || Faulted(FileOp::Read)) return false;
    auto* p = static_cast<uint8_t*>(buffer);
    while (length > 0) {
        const ssize_t n = ::pread(fd_, p, length, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // error or end of file: a short read
        p += n;
        offset += uint64_t(n);
        length -= size_t(n);
    }
    return true;
}

bool StoreFile::Seek(uint64_t offset) {
    if (fd_ < 0 || Faulted(FileOp::Seek)) return false;
    return ::lseek(fd_, off_t(offset), SEEK_SET) == off_t(offset);
}

bool StoreFile::SeekEnd(uint64_t& offset) {
    if (fd_ < 0 || Faulted(FileOp::Seek)) return false;
    const off_t at = ::lseek(fd_, 0, SEEK_END);
    if (at < 0) return false;
    offset = uint64_t(at);
    return true;
}

bool StoreFile::Size(uint64_t& size) const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
    size = uint64_t(st.st_size);
    return true;
}

bool StoreFile::Sync() {
    if (fd_ < 0 || Faulted(FileOp::Sync)) return false;
    return SyncFile(fd_);
}

bool StoreFile::Close() {
    if (fd_ < 0) return false;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
}

bool StoreRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (Faulted(FileOp::Rename) || std::rename(from.c_str(), to.c_str()) != 0) return false;
    if (FileTracing()) TraceFile({.kind = FileEvent::Rename, .path = from, .to = to});
    return true;
}

bool StoreRemove(const std::filesystem::path& path) {
    if (Faulted(FileOp::Remove) || ::unlink(path.c_str()) != 0) return false;
    if (FileTracing()) TraceFile({.kind = FileEvent::Remove, .path = path});
    return true;
}

}  // namespace stepora
