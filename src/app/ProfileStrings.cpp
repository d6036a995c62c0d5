// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProfileStrings.h"

#include "app/SafeFile.h"

// Bytes are kept as they are: texts are UTF-8, and a broken byte is just a byte.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string_view>

namespace stepora {
namespace {

using Ini = CSimpleIniA;  // section and key names ignore letter case

void Configure(Ini& ini) {
    ini.SetUnicode(false);  // keep bytes as they are; invalid UTF-8 is just text
    ini.SetMultiKey(true);  // duplicates are kept so that the first one can win
    ini.SetMultiLine(false);
    ini.SetQuotes(false);
    ini.SetSpaces(false);  // "key=value" as the files have always been written
}

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

bool Stamp(const std::filesystem::path& file, FileStamp& stamp) {
    struct stat st {};
    // Only a regular file is an INI file: a folder of that name reads as missing.
    if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return true;
}

// Language files are read for every text the program shows, so parsed files are kept
// while their stamp is unchanged. A file is only kept once its last change is a couple
// of seconds old: file times are coarse, and an edit within the same clock tick as the
// previous one would otherwise go unseen.
struct CachedFile {
    FileStamp stamp;
    std::shared_ptr<Ini> ini;
    uint64_t generation = 0;  // see ProfileGeneration
};
uint64_t g_lastGeneration = 0;
// By the bytes of the path: comparing paths part by part costs more than the lookup.
std::map<std::string, CachedFile, std::less<>>& Cache() {
    static std::map<std::string, CachedFile, std::less<>> cache;
    return cache;
}

bool OldEnoughToCache(const FileStamp& stamp) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto latest = std::max(stamp.modified.tv_sec, stamp.changed.tv_sec);
    return now.tv_sec - latest >= 2;
}

// A parsed file and its generation (0: not kept).
struct Loaded {
    std::shared_ptr<Ini> ini;
    uint64_t generation = 0;
};

// The files loaded while a ProfileReadScope lives, by their path's bytes.
struct ScopeFiles {
    int depth = 0;
    uint64_t id = 0;  // see ProfileReadScopeId
    uint64_t lastId = 0;
    std::map<std::string, Loaded, std::less<>> files;
};
ScopeFiles& Scope() {
    static ScopeFiles scope;
    return scope;
}

Loaded LoadChecked(const std::filesystem::path& file);

Loaded LoadWithGeneration(const std::filesystem::path& file) {
    ScopeFiles& scope = Scope();
    if (scope.depth == 0) return LoadChecked(file);
    const auto found = scope.files.find(file.native());
    if (found != scope.files.end()) return found->second;
    Loaded loaded = LoadChecked(file);
    scope.files.emplace(file.native(), loaded);
    return loaded;
}

std::shared_ptr<Ini> Load(const std::filesystem::path& file) {
    return LoadWithGeneration(file).ini;
}

Loaded LoadChecked(const std::filesystem::path& file) {
    FileStamp stamp;
    if (!Stamp(file, stamp)) {
        Cache().erase(file.native());
        return {};
    }
    auto found = Cache().find(file.native());
    if (found != Cache().end() && found->second.stamp == stamp)
        return {found->second.ini, found->second.generation};

    auto ini = std::make_shared<Ini>();
    Configure(*ini);
    std::string bytes;
    if (!ReadRegularFile(file, bytes) || ini->LoadData(bytes) < 0) {
        Cache().erase(file.native());
        return {};
    }
    if (OldEnoughToCache(stamp)) {
        if (Cache().size() > 32) Cache().clear();
        Cache()[file.native()] = CachedFile{stamp, ini, ++g_lastGeneration};
        return {ini, g_lastGeneration};
    }
    Cache().erase(file.native());
    return {ini, 0};
}

bool OnOneLine(const std::string& s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

bool HasOuterBlanks(const std::string& s) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !s.empty() && (blank(s.front()) || blank(s.back()));
}

// The loader trims blanks around names, ends a section name at ']' and a key at '=', and
// reads a line starting with ';' or '#' as a comment and one starting with '[' as a section.
bool StorableSection(const std::string& section) {
    return !section.empty() && OnOneLine(section) && !HasOuterBlanks(section) &&
           section.find(']') == std::string::npos;
}

bool StorableKey(const std::string& key) {
    return !key.empty() && OnOneLine(key) && !HasOuterBlanks(key) &&
           key.find('=') == std::string::npos &&
           std::string_view(";#[").find(key[0]) == std::string_view::npos;
}

// A value written as "text" or 'text' is read without its quotes.
std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The loader trims blanks around a value; quotes keep them, and a value that is itself
// quoted gets a pair of its own so that reading takes off only that pair.
std::string StoredValue(const std::string& value) {
    if (HasOuterBlanks(value) || Unquote(value) != value) return '"' + value + '"';
    return value;
}

bool UsesCrLf(const std::string& bytes) {
    const size_t at = bytes.find('\n');
    return at != std::string::npos && at > 0 && bytes[at - 1] == '\r';
}

std::string WithCrLf(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out += '\r';
        out += bytes[i];
    }
    return out;
}

}  // namespace

std::string GetProfileString(const std::filesystem::path& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue) {
    auto ini = Load(file);
    if (!ini) return defaultValue;
    const char* value = ini->GetValue(section.c_str(), key.c_str(), nullptr);
    if (!value) return defaultValue;
    return Unquote(value);
}

bool GetProfileStrings(const std::filesystem::path& file, const std::string& section,
                       std::span<const char* const> keys, const std::string& defaultValue,
                       std::vector<std::string>& values) {
    values.clear();
    auto ini = Load(file);
    if (!ini) return false;
    for (const char* key : keys) {
        const char* value = ini->GetValue(section.c_str(), key, nullptr);
        values.push_back(value ? Unquote(value) : defaultValue);
    }
    return true;
}

bool WriteFileAtomically(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::path temp;
    const int fd = CreateTempBeside(file, temp);
    if (fd < 0) return false;
    if (!WriteFully(fd, bytes.data(), bytes.size())) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    return CommitTemp(fd, temp, file);
}

bool WriteProfileStrings(const std::filesystem::path& file, const std::string& section,
                         std::span<const std::pair<std::string, std::string>> values) {
    if (!StorableSection(section)) return false;
    for (const auto& [key, value] : values)
        if (!StorableKey(key) || !OnOneLine(value)) return false;

    Ini ini;
    Configure(ini);
    std::string old;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        // A file that cannot be read whole is left as it is: the parser stops at a NUL
        // byte, and writing back what it read would drop the rest.
        if (!ReadRegularFile(file, old) || old.find('\0') != std::string::npos ||
            ini.LoadData(old) < 0)
            return false;
    } else if (file.has_parent_path() && !std::filesystem::is_directory(file.parent_path(), ec)) {
        return false;
    }
    for (const auto& [key, value] : values) {
        const std::string stored = StoredValue(value);
        if (ini.SetValue(section.c_str(), key.c_str(), stored.c_str(), nullptr, true) < 0)
            return false;
    }
    std::string bytes;
    if (ini.Save(bytes) < 0) return false;
    if (UsesCrLf(old)) bytes = WithCrLf(bytes);

    // A write that succeeds reads back exactly.
    Ini check;
    Configure(check);
    if (check.LoadData(bytes) < 0) return false;
    for (const auto& [key, value] : values) {
        const char* back = check.GetValue(section.c_str(), key.c_str(), nullptr);
        if (!back || Unquote(back) != value) return false;
    }
    Cache().erase(file.native());
    ScopeFiles& scope = Scope();
    scope.files.erase(file.native());
    if (scope.depth > 0) scope.id = ++scope.lastId;  // what was read in the scope may be old now
    return WriteFileAtomically(file, bytes);
}

uint64_t ProfileGeneration(const std::filesystem::path& file) {
    return LoadWithGeneration(file).generation;
}

ProfileReadScope::ProfileReadScope() {
    ScopeFiles& scope = Scope();
    if (scope.depth++ == 0) scope.id = ++scope.lastId;
}

ProfileReadScope::~ProfileReadScope() {
    ScopeFiles& scope = Scope();
    if (--scope.depth > 0) return;
    scope.files.clear();
    scope.id = 0;
}

uint64_t ProfileReadScopeId() {
    return Scope().id;
}

bool WriteProfileString(const std::filesystem::path& file, const std::string& section,
                        const std::string& key, const std::string& value) {
    const std::pair<std::string, std::string> one[] = {{key, value}};
    return WriteProfileStrings(file, section, one);
}

}  // namespace stepora
