#include "csv/CsvFile.h"

#include <sys/stat.h>

namespace stepora {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

CCsvFile::~CCsvFile() {
    Close();
}

int CCsvFile::OpenForWrite(const std::filesystem::path& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    writing_ = true;
    writeFailed_ = false;
    return file_ != nullptr;
}

int CCsvFile::OpenForRead(const std::filesystem::path& path) {
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return 0;
    struct stat info;
    if (fstat(fileno(file_), &info) != 0 || !S_ISREG(info.st_mode)) {
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
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok && !(writing_ && writeFailed_);
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
    if (line.empty()) return 0;
    size_t end = line.size();
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ',' && !quoted) {
            end = i;
            break;
        }
    }
    std::string raw = line.substr(0, end);
    line.erase(0, end < line.size() ? end + 1 : end);
    if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return 0;
    std::string value;
    for (size_t i = 1; i + 1 < raw.size(); ++i) {
        if (raw[i] == '"') {
            if (i + 2 >= raw.size() || raw[i + 1] != '"') return 0;  // a lone quote inside
            ++i;
        }
        value += raw[i];
    }
    field = std::move(value);
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
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size()) {
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
    const char* text = window_.data() + windowStart_;
    // The line ends at the first CR LF outside quotes, within the first 1024 bytes.
    size_t end = std::string::npos;
    bool quoted = false;
    for (size_t i = 0; i + 1 < available; ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && text[i] == '\r' && text[i + 1] == '\n') {
            end = i;
            break;
        }
    }
    if (end == std::string::npos || end == 0) return 0;

    std::string line(text, end);
    std::array<std::string, kCsvFields> taken;
    for (std::string& field : taken)
        if (!SplitCsvField(line, field)) return 0;
    fields = std::move(taken);
    windowStart_ += end + 2;
    atEnd = position_ + windowStart_ == length_;
    return 1;
}

}  // namespace stepora
