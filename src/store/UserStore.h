// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way into user files. A user named N is the file N.usr in the store directory.
// Every operation opens, uses and closes its files within the call and returns nonzero
// for success and 0 for failure; none shows anything.
//
// A change to an existing user (a StoreChange) runs Backup, the writes, then EndBackup: discard on
// success, restore on failure. A backup is complete or absent, the user file reaches the
// disk before its backup is dropped, and a backup left behind by an interrupted change is
// restored when the store opens its directory, and before the user is backed up again,
// renamed or deleted.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "store/UserFile.h"

namespace stepora {

class StoreFile;

class UserStore {
public:
    using UserCallback = std::function<void(const std::string& name, const UserFileHeader& header)>;

    // Sets the directory and restores any change that was interrupted there.
    void SetDirectory(const std::filesystem::path& directory);
    const std::filesystem::path& Directory() const { return directory_; }
    uint32_t GetCount() const;
    // User names match ignoring letter case, as two files of one name differing only in
    // case cannot coexist on every platform the program runs on.
    int Exists(const std::string& name) const;
    int ReadHeader(const std::string& name, UserFileHeader& header) const;
    int CheckExportFile(const std::filesystem::path& path) const;
    int WriteHeader(const std::string& name, const UserFileHeader& header);
    int Create(const std::string& name, const std::string& password);
    int ImportFile(const std::string& name, const std::filesystem::path& source);
    int ExportFile(const std::string& name, const std::filesystem::path& destination) const;
    // The two halves of a StoreChange, which is how everything outside the store makes a
    // change; public for the tests of the backup protocol itself.
    int Backup(const std::string& name);
    int EndBackup(const std::string& name, bool discard);
    int Rename(const std::string& oldName, const std::string& newName, const std::string& password);
    int Delete(const std::string& name);
    int EnumUsers(const UserCallback& callback);
    int EnumUsersMatching(const std::string& pattern, const UserCallback& callback) const;
    // The days firstDay, firstDay + 1, ... one record each; a day outside the stored range
    // reads as a zero record. After a failed read the records hold what was read before
    // the failure and zero records after it.
    int ReadDays(const std::string& name, uint32_t firstDay, std::span<DayRecord> records) const;
    int WriteDays(const std::string& name, uint32_t firstDay, std::span<const DayRecord> records);
    // The same in the file's own layout, count × kDayRecordSize bytes, for whoever checks
    // the bytes themselves (the store's tests and fuzz target).
    int ReadDays(const std::string& name, uint32_t firstDay, uint32_t count,
                 uint8_t* records) const;
    int WriteDays(const std::string& name, uint32_t firstDay, uint32_t count,
                  const uint8_t* records);

    // The stored spelling of a user name (its file title), if the user exists.
    std::optional<std::string> StoredName(const std::string& name) const;

private:
    friend class UserReader;
    bool OpenUser(const std::string& name, StoreFile& file, std::string* title = nullptr) const;
    std::filesystem::path UserPath(const std::string& title) const;
    std::filesystem::path BackupPath(const std::string& title) const;
    void RecoverInterruptedChanges();
    bool RestorePendingBackup(const std::string& title);

    std::filesystem::path directory_;
    uint32_t count_ = 0;
};

// One user file kept open for a run of reads that belong together, such as one refresh of
// the graph window: the file is opened and its header read once, and every read of days
// uses that header and the open file, as UserStore::ReadDays would. Keep one only while
// the run lasts: a change the store makes meanwhile may rename a new file into place.
class UserReader {
public:
    UserReader(const UserStore& store, const std::string& name);
    ~UserReader();
    UserReader(const UserReader&) = delete;
    UserReader& operator=(const UserReader&) = delete;

    // Whether the file opened and its header was read; every read fails otherwise.
    bool IsOpen() const { return open_; }
    const UserFileHeader& Header() const { return header_; }
    int ReadDays(uint32_t firstDay, std::span<DayRecord> records);

private:
    std::unique_ptr<StoreFile> file_;
    UserFileHeader header_;
    bool open_ = false;
};

// A new name (created, renamed to, imported as) may become a file title: not empty, no
// path separators, control characters or any of : * ? " < > |, not "." or "..", and short
// enough (247 bytes) for every file named after it.
bool IsValidUserName(const std::string& name);

// The most users the program keeps.
inline constexpr uint32_t kMaxUsers = 1000;

// The program's one store.
UserStore& TheUserStore();

}  // namespace stepora
