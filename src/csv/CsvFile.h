// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace stepora {

constexpr size_t kCsvFields = 7;
constexpr uint32_t kCsvHeaderLines = 7;  // the lines about the user and the period
constexpr size_t kCsvLineLimit = 1024;   // a line and its CR LF must fit into this many bytes

// One CSV file open for reading or writing, a line of seven quoted fields at a time.
// Bytes go through unchanged; lines end in CR LF. Operations return nonzero on success.
class CCsvFile {
public:
    CCsvFile() = default;
    ~CCsvFile();
    CCsvFile(const CCsvFile&) = delete;
    CCsvFile& operator=(const CCsvFile&) = delete;

    int OpenForWrite(const std::filesystem::path& path);
    int OpenForRead(const std::filesystem::path& path);
    // A file open for writing replaces the file of its name only here, and only when
    // everything written reached the disk; otherwise it fails and leaves that file as it was.
    int Close();
    // Drops what was written; the file of that name stays as it was.
    void Discard();
    int WriteCsvLine(const std::array<std::string, kCsvFields>& fields);
    // Lines already quoted and ended, as WriteCsvLine would have written them.
    int WriteLines(std::string_view bytes);
    // atEnd: the line just read ends exactly at the end of the file. A line that cannot be
    // read is not consumed.
    int ReadCsvLine(std::array<std::string, kCsvFields>& fields, bool& atEnd);

private:
    bool Fill();  // tops the window up to a line's worth of bytes

    std::FILE* file_ = nullptr;
    std::filesystem::path target_, temp_;  // writing: the file to replace and the one written
    bool writing_ = false, writeFailed_ = false;
    uint64_t length_ = 0, position_ = 0;  // position_: start of the window in the file
    std::string window_;                  // bytes from position_ on
    size_t windowStart_ = 0;              // first unread byte of window_
};

// The text in double quotes, each double quote inside doubled.
std::string QuoteCsvField(std::string_view text);
// Takes the first field off the front of line (and the comma after it). Fails for an
// empty line and for a field that is not properly quoted, leaving the line as it was.
int SplitCsvField(std::string& line, std::string& field);

}  // namespace stepora
