// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace stepora {

int OpenRegularFile(const std::filesystem::path& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), (flags ? flags : O_RDONLY) | O_NONBLOCK | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat st {};
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
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
    return fd;
}

bool CommitTemp(int fd, const std::filesystem::path& temp, const std::filesystem::path& target) {
    bool ok = ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace stepora
