// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SafeFile.h"

#include "app/FileTrace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define fsync _commit
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

namespace stepora {

int OpenRegularFile(const std::filesystem::path& path, int flags) {
    struct stat before {};
    const bool existed = FileTracing() && ::lstat(path.c_str(), &before) == 0;
    int fd;
    do {
        fd = ::open(path.c_str(), (flags ? flags : O_RDONLY) | O_NONBLOCK | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    // A regular file ignores O_NONBLOCK when read; one opened for writing gets plain
    // blocking writes all the same.
    if (((flags ? flags : O_RDONLY) & O_ACCMODE) != O_RDONLY) {
        const int status = ::fcntl(fd, F_GETFL);
        if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
            ::close(fd);
            return -1;
        }
    }
    if (FileTracing())
        TraceFile({.kind = existed ? FileEvent::Open : FileEvent::Create, .fd = fd, .path = path});
    return fd;
}

bool ReadRegularFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    const int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    char piece[65536];
    ssize_t n;
    while ((n = ::read(fd, piece, sizeof piece)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        bytes.append(piece, size_t(n));
    }
    ::close(fd);
    return n == 0;
}

int CreateTempBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
    std::string pattern = target.string() + ".tmpXXXXXX";
    const int fd = ::mkstemp(pattern.data());  // O_EXCL: never an existing file or link
    if (fd < 0) return -1;
    temp = pattern;
    if (::fchmod(fd, 0644) != 0) {
        ::close(fd);
        ::unlink(pattern.c_str());
        return -1;
    }
    if (FileTracing()) TraceFile({.kind = FileEvent::Create, .fd = fd, .path = temp});
    return fd;
}

bool WriteFully(int fd, const void* bytes, size_t length) {
    auto* p = static_cast<const uint8_t*>(bytes);
    while (length > 0) {
        const off_t at = FileTracing() ? ::lseek(fd, 0, SEEK_CUR) : 0;
        const ssize_t n = ::write(fd, p, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        if (FileTracing())
            TraceFile({.kind = FileEvent::Write,
                       .fd = fd,
                       .offset = uint64_t(at),
                       .data = p,
                       .length = size_t(n)});
        p += n;
        length -= size_t(n);
    }
    return true;
}

bool SyncFile(int fd) {
    if (::fsync(fd) != 0) return false;
    if (FileTracing()) TraceFile({.kind = FileEvent::Sync, .fd = fd});
    return true;
}

void SyncDirectory(const std::filesystem::path& directory) {
#ifndef _WIN32
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    if (::fsync(fd) == 0 && FileTracing())
        TraceFile({.kind = FileEvent::SyncDir, .path = directory});
    ::close(fd);
#else
    (void)directory;
#endif
}

void SyncDirectoryOf(const std::filesystem::path& file) {
    SyncDirectory(file.has_parent_path() ? file.parent_path() : ".");
}

bool CommitTemp(int fd, const std::filesystem::path& temp, const std::filesystem::path& target) {
    bool ok = SyncFile(fd);
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    if (FileTracing()) TraceFile({.kind = FileEvent::Rename, .path = temp, .to = target});
    // Until its folder is synced the rename may be undone by a power cut.
    SyncDirectoryOf(target);
    return true;
}

}  // namespace stepora
