#include "app/ProfileStrings.h"

// Bytes are kept as they are: texts are UTF-8, and a broken byte is just a byte.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

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
};
std::map<std::filesystem::path, CachedFile>& Cache() {
    static std::map<std::filesystem::path, CachedFile> cache;
    return cache;
}

bool OldEnoughToCache(const FileStamp& stamp) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto latest = std::max(stamp.modified.tv_sec, stamp.changed.tv_sec);
    return now.tv_sec - latest >= 2;
}

std::shared_ptr<Ini> Load(const std::filesystem::path& file) {
    FileStamp stamp;
    if (!Stamp(file, stamp)) {
        Cache().erase(file);
        return nullptr;
    }
    auto found = Cache().find(file);
    if (found != Cache().end() && found->second.stamp == stamp) return found->second.ini;

    auto ini = std::make_shared<Ini>();
    Configure(*ini);
    if (ini->LoadFile(file.c_str()) < 0) {
        Cache().erase(file);
        return nullptr;
    }
    if (OldEnoughToCache(stamp)) {
        if (Cache().size() > 32) Cache().clear();
        Cache()[file] = CachedFile{stamp, ini};
    } else {
        Cache().erase(file);
    }
    return ini;
}

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

// A value written as "text" or 'text' is read without its quotes.
std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
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

bool WriteFileAtomically(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::path temp = file;
    temp += ".tmpXXXXXX";
    std::string pattern = temp.string();
    int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            ok = false;
        else
            done += static_cast<size_t>(n);
    }
    ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(pattern.c_str(), file.c_str()) == 0;
    if (!ok) ::unlink(pattern.c_str());
    return ok;
}

bool WriteProfileString(const std::filesystem::path& file, const std::string& section,
                        const std::string& key, const std::string& value) {
    if (HasLineBreak(value) || HasLineBreak(section) || HasLineBreak(key)) return false;
    if (section.empty() || key.empty() || section.find(']') != std::string::npos ||
        key.find('=') != std::string::npos)
        return false;

    Ini ini;
    Configure(ini);
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        if (!std::filesystem::is_regular_file(file, ec) || ini.LoadFile(file.c_str()) < 0)
            return false;
    } else if (file.has_parent_path() && !std::filesystem::is_directory(file.parent_path(), ec)) {
        return false;
    }
    if (ini.SetValue(section.c_str(), key.c_str(), value.c_str(), nullptr, true) < 0) return false;
    std::string bytes;
    if (ini.Save(bytes) < 0) return false;
    Cache().erase(file);
    return WriteFileAtomically(file, bytes);
}

}  // namespace stepora
