// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv/CsvFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "app/SafeFile.h"

namespace stepora {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

// A field in double quotes, a double quote inside written twice. Returns the end of the
// field at the front of [p, end), or nullptr when none is there; `doubled` tells whether
// it holds a doubled quote.
const char* ScanQuotedField(const char* p, const char* end, bool& doubled) {
    if (p == end || *p != '"') return nullptr;
    doubled = false;
    for (++p;;) {
        p = static_cast<const char*>(std::memchr(p, '"', size_t(end - p)));
        if (!p) return nullptr;
        if (p + 1 == end || p[1] != '"') return p + 1;
        doubled = true;
        p += 2;
    }
}

void Unquote(std::string_view raw, bool doubled, std::string& field) {
    const std::string_view inner = raw.substr(1, raw.size() - 2);
    if (!doubled) {
        field.assign(inner);
        return;
    }
    field.clear();
    for (size_t i = 0; i < inner.size(); ++i) {
        field += inner[i];
        if (inner[i] == '"') ++i;
    }
}

// The first CR LF outside quotes in [p, end), or nullptr.
const char* FindLineEnd(const char* p, const char* end) {
    bool quoted = false;
    for (; p + 1 < end; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (!quoted && p[0] == '\r' && p[1] == '\n')
            return p;
    }
    return nullptr;
}

}  // namespace

CCsvFile::~CCsvFile() {
    if (writing_)
        Discard();  // a file left unclosed was not written whole
    else
        Close();
}

int CCsvFile::OpenForWrite(const std::filesystem::path& path) {
    Close();
    // Written beside the file and renamed over it on Close: until then, and whenever the
    // writing fails, a file of that name stays as it was.
    const int fd = CreateTempBeside(path, temp_);
    if (fd < 0) return 0;
    file_ = fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        Discard();
        return 0;
    }
    target_ = path;
    writing_ = true;
    writeFailed_ = false;
    return 1;
}

int CCsvFile::OpenForRead(const std::filesystem::path& path) {
    Close();
    const int fd = OpenRegularFile(path);  // a FIFO or device is refused, never waited for
    if (fd < 0) return 0;
    file_ = fdopen(fd, "rb");
    struct stat info;
    if (!file_ || fstat(fd, &info) != 0) {
        if (!file_) ::close(fd);
        Close();
        return 0;
    }
    writing_ = false;
    length_ = static_cast<uint64_t>(info.st_size);
    position_ = 0;
    window_.clear();
    windowStart_ = 0;
    return 1;
}

int CCsvFile::Close() {
    if (!file_) return 1;
    if (!writing_) {
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }
    const bool written = !writeFailed_ && std::fflush(file_) == 0;
    const int fd = ::dup(fileno(file_));
    std::fclose(file_);
    file_ = nullptr;
    if (!written || fd < 0) {
        if (fd >= 0) ::close(fd);
        Discard();
        return 0;
    }
    const bool ok = CommitTemp(fd, temp_, target_);
    temp_.clear();
    return ok;
}

void CCsvFile::Discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

std::string QuoteCsvField(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

int SplitCsvField(std::string& line, std::string& field) {
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    bool doubled = false;
    const char* after = ScanQuotedField(begin, end, doubled);
    if (!after || (after != end && *after != ',')) return 0;
    Unquote(std::string_view(begin, size_t(after - begin)), doubled, field);
    line.erase(0, after == end ? line.size() : size_t(after - begin) + 1);
    return 1;
}

int CCsvFile::WriteCsvLine(const std::array<std::string, kCsvFields>& fields) {
    if (!file_ || !writing_) return 0;
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        line += QuoteCsvField(fields[i]);
    }
    line += "\r\n";
    return WriteLines(line);
}

int CCsvFile::WriteLines(std::string_view bytes) {
    if (!file_ || !writing_) return 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        writeFailed_ = true;
        return 0;
    }
    return 1;
}

bool CCsvFile::Fill() {
    if (window_.size() - windowStart_ >= kCsvLineLimit) return true;
    window_.erase(0, windowStart_);
    position_ += windowStart_;
    windowStart_ = 0;
    char chunk[kReadChunk];
    size_t got = std::fread(chunk, 1, sizeof chunk, file_);
    window_.append(chunk, got);
    return !std::ferror(file_);
}

int CCsvFile::ReadCsvLine(std::array<std::string, kCsvFields>& fields, bool& atEnd) {
    if (!file_ || writing_) return 0;
    if (position_ + windowStart_ >= length_) return 0;
    if (!Fill()) return 0;
    const size_t available = std::min(window_.size() - windowStart_, kCsvLineLimit);
    const char* const text = window_.data() + windowStart_;
    const char* const limit = text + available;
    // One pass over seven quoted fields and the commas between them; the fields change
    // only once the whole line has been found good.
    std::array<std::string_view, kCsvFields> raw;
    std::array<bool, kCsvFields> doubled;
    const char* p = text;
    for (size_t i = 0; i < kCsvFields; ++i) {
        const char* start = p;
        p = ScanQuotedField(p, limit, doubled[i]);
        if (!p) return 0;
        raw[i] = std::string_view(start, size_t(p - start));
        if (i + 1 < kCsvFields && (p == limit || *p++ != ',')) return 0;
    }
    // The line ends at the first CR LF outside quotes, within the first 1024 bytes; what
    // follows the seventh field before it is not read.
    const char* lineEnd = nullptr;
    if (limit - p >= 2 && p[0] == '\r' && p[1] == '\n')
        lineEnd = p;
    else if (p != limit && *p == ',')
        lineEnd = FindLineEnd(p + 1, limit);
    if (!lineEnd) return 0;
    for (size_t i = 0; i < kCsvFields; ++i) Unquote(raw[i], doubled[i], fields[i]);
    const size_t end = size_t(lineEnd - text);
    windowStart_ += end + 2;
    atEnd = position_ + windowStart_ == length_;
    return 1;
}

}  // namespace stepora
