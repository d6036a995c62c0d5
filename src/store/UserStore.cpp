// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/UserStore.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <vector>

#include "app/Clock.h"
#include "app/TextFold.h"
#include "store/DayCalendar.h"
#include "store/StoreFile.h"

namespace stepora {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kUserSuffix = ".usr";
constexpr std::string_view kBackupSuffix = "_bk.bin";
constexpr std::string_view kBackupTempSuffix = "_bk.tmp";
constexpr std::string_view kImportTempSuffix = ".usr.tmp";  // an import, a new user, a renamed one
constexpr std::string_view kRenameSuffix = "_mv.bin";       // a rename under way: the new name
constexpr char kScratchName[] = "temp.bin";
// A file name holds at most 255 bytes on the usual file systems (NAME_MAX on Linux); every
// file named after a user must fit, or the user could be made but never changed.
constexpr size_t kMaxFileNameBytes = 255;
constexpr size_t kLongestSuffix =
    std::max({kUserSuffix.size(), kBackupSuffix.size(), kBackupTempSuffix.size(),
              kImportTempSuffix.size(), kRenameSuffix.size()});
constexpr size_t kCopyPiece = 1024;

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Copies `length` bytes from the current position of `from` to that of `to` in pieces;
// a piece that reads short fails the copy. With `sum`, every byte copied is added to it.
bool CopyBytes(StoreFile& from, StoreFile& to, uint64_t length, uint32_t* sum = nullptr) {
    uint8_t piece[kCopyPiece];
    while (length > 0) {
        const size_t n = size_t(std::min<uint64_t>(length, kCopyPiece));
        if (!from.ReadAll(piece, n) || !to.WriteAll(piece, n)) return false;
        if (sum) *sum = ByteSum(piece, n, *sum);
        length -= n;
    }
    return true;
}

bool WriteZeroRecords(StoreFile& file, uint64_t records) {
    static const uint8_t zeros[kCopyPiece] = {};
    uint64_t bytes = records * kDayRecordSize;
    while (bytes > 0) {
        const size_t n = size_t(std::min<uint64_t>(bytes, kCopyPiece));
        if (!file.WriteAll(zeros, n)) return false;
        bytes -= n;
    }
    return true;
}

// A scratch file of the store, made anew: whatever had its name (a leftover, a link
// someone put there) is removed, never written through.
bool OpenScratch(StoreFile& file, const fs::path& path) {
    std::error_code ec;
    if (fs::symlink_status(path, ec).type() != fs::file_type::not_found) StoreRemove(path);
    return file.Open(path, StoreFile::CreateNew);
}

// Copies `length` bytes of `in` to `temp` (after `header`, when given, in place of the
// copy's own), makes them durable and renames `temp` to `target`: the target is either
// the whole copy or as it was.
bool CopyIntoPlace(StoreFile& in, uint64_t length, const fs::path& temp, const fs::path& target,
                   const uint8_t* header = nullptr) {
    StoreFile out;
    if (!OpenScratch(out, temp)) return false;
    const bool copied = header ? out.WriteAll(header, kHeaderSize) && in.Seek(kHeaderSize) &&
                                     CopyBytes(in, out, length - kHeaderSize)
                               : CopyBytes(in, out, length);
    if (copied && out.Sync() && out.Close() && StoreRename(temp, target)) return true;
    out.Close();
    StoreRemove(temp);
    return false;
}

bool ReadHeaderFrom(StoreFile& file, UserFileHeader& header) {
    uint8_t bytes[kHeaderSize];
    return file.ReadAt(0, bytes, kHeaderSize) && UnpackHeader(bytes, header);
}

bool WriteHeaderTo(StoreFile& file, const UserFileHeader& header) {
    uint8_t bytes[kHeaderSize];
    PackHeader(header, bytes);
    return file.Seek(0) && file.WriteAll(bytes, kHeaderSize);
}

// A day range the store can hold: inside 1 .. 109573, without wrapping.
bool ValidRange(uint32_t first, uint32_t count) {
    return first >= 1 && uint64_t(first) + count - 1 <= kMaxDayNumber;
}

// The stored range of a header: a file made on 1900-01-01 starts at day 0.
bool ValidStoredRange(const UserFileHeader& h) {
    return h.firstDay <= h.lastDay && h.lastDay <= kMaxDayNumber;
}

uint64_t RecordOffset(uint32_t day, uint32_t firstDay) {
    return kHeaderSize + uint64_t(day - firstDay) * kDayRecordSize;
}

// What a file title must be for the store to touch the file at all; users already in the
// folder stay readable even when their names hold what a new name may not.
bool IsSafeTitle(const std::string& name) {
    // A name that is no UTF-8 could be listed but never typed or matched again.
    if (name.empty() || name == "." || name == ".." || !IsValidUtf8(name)) return false;
    if (name.size() + kLongestSuffix > kMaxFileNameBytes) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F || c == '/' || c == '\\';
    });
}

// The .usr files of a directory, by title, in the order the file system lists them.
std::vector<std::string> ListUserTitles(const fs::path& directory) {
    std::vector<std::string> titles;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (!EndsWith(file, kUserSuffix)) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string title = file.substr(0, file.size() - kUserSuffix.size());
        if (IsSafeTitle(title)) titles.push_back(std::move(title));
    }
    return titles;
}

}  // namespace

bool IsValidUserName(const std::string& name) {
    // Characters that file systems the user files travel to cannot hold in a name.
    return IsSafeTitle(name) && name.find_first_of(":*?\"<>|") == std::string::npos;
}

UserStore& TheUserStore() {
    static UserStore store;
    return store;
}
fs::path UserStore::UserPath(const std::string& title) const {
    return directory_ / (title + std::string(kUserSuffix));
}

fs::path UserStore::BackupPath(const std::string& title) const {
    return directory_ / (title + std::string(kBackupSuffix));
}

void UserStore::SetDirectory(const fs::path& directory) {
    directory_ = directory;
    RecoverInterruptedChanges();
}

// A backup still present means a change that did not finish: its user file may be half
// rewritten, the backup is complete (it is only ever renamed into place). An unfinished
// backup (_bk.tmp) never replaced anything and is dropped.
void UserStore::RecoverInterruptedChanges() {
    std::error_code ec;
    std::vector<fs::path> backups, partial, renames;
    for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (EndsWith(file, kBackupSuffix)) backups.push_back(it->path());
        if (EndsWith(file, kRenameSuffix)) renames.push_back(it->path());
        if (EndsWith(file, kBackupTempSuffix) || EndsWith(file, kImportTempSuffix) ||
            file == kScratchName)
            partial.push_back(it->path());
    }
    // A rename whose new file is in place is finished; otherwise it never happened.
    for (const fs::path& marker : renames) {
        const std::string file = marker.filename().string();
        const std::string title = file.substr(0, file.size() - kRenameSuffix.size());
        std::string newName;
        StoreFile m;
        uint64_t size = 0;
        if (m.Open(marker, StoreFile::ReadOnly) && m.Size(size) && size <= kMaxFileNameBytes) {
            newName.resize(size_t(size));
            if (!m.ReadAll(newName.data(), newName.size())) newName.clear();
        }
        m.Close();
        if (IsSafeTitle(title) && IsSafeTitle(newName) && newName != title &&
            fs::is_regular_file(UserPath(newName), ec) && StoreRemove(UserPath(title)))
            SyncDirectory(directory_);  // as in Rename: the old file goes before its note
        StoreRemove(marker);
    }
    for (const fs::path& p : partial) StoreRemove(p);
    for (const fs::path& p : backups) {
        const std::string file = p.filename().string();
        const std::string title = file.substr(0, file.size() - kBackupSuffix.size());
        if (IsSafeTitle(title)) StoreRename(p, UserPath(title));
    }
    if (!backups.empty() || !partial.empty() || !renames.empty()) SyncDirectory(directory_);
}

uint32_t UserStore::GetCount() const {
    return count_;
}

std::optional<std::string> UserStore::StoredName(const std::string& name) const {
    if (!IsSafeTitle(name)) return std::nullopt;
    std::error_code ec;
    if (fs::is_regular_file(UserPath(name), ec)) return name;
    for (std::string& title : ListUserTitles(directory_))
        if (EqualsIgnoringCase(title, name)) return std::move(title);
    return std::nullopt;
}

int UserStore::Exists(const std::string& name) const {
    return StoredName(name) ? 1 : 0;
}

// The common case opens the exact name at once; only a name in another letter case
// costs a directory search.
bool UserStore::OpenUser(const std::string& name, StoreFile& file, std::string* title) const {
    if (!IsSafeTitle(name)) return false;
    if (file.Open(UserPath(name), StoreFile::ReadOnly)) {
        if (title) *title = name;
        return true;
    }
    const auto stored = StoredName(name);
    if (!stored || *stored == name || !file.Open(UserPath(*stored), StoreFile::ReadOnly))
        return false;
    if (title) *title = *stored;
    return true;
}

int UserStore::ReadHeader(const std::string& name, UserFileHeader& header) const {
    StoreFile file;
    return OpenUser(name, file) && ReadHeaderFrom(file, header) ? 1 : 0;
}

int UserStore::CheckExportFile(const fs::path& path) const {
    StoreFile file;
    uint64_t size = 0;
    if (!file.Open(path, StoreFile::ReadOnly) || !file.Size(size)) return 0;
    // The header and the four-byte trailer, at the least. A file of only a header would
    // otherwise pass (its checksum word doubles as a trailer) and import as 72 bytes.
    if (size < kHeaderSize + 4) return 0;
    uint32_t sum = 0;
    uint8_t piece[kCopyPiece];
    for (uint64_t left = size - 4; left > 0;) {
        const size_t n = size_t(std::min<uint64_t>(left, kCopyPiece));
        if (!file.ReadAll(piece, n)) return 0;
        sum = ByteSum(piece, n, sum);
        left -= n;
    }
    uint8_t trailer[4];
    if (!file.ReadAll(trailer, 4)) return 0;
    if (GetBigEndian32(trailer) != sum) return 0;
    // Checksums say nothing of the header: a user whose days stop before its range ends,
    // or whose range runs backwards or past the calendar, could be listed but never used.
    UserFileHeader header;
    return ReadHeaderFrom(file, header) && ValidStoredRange(header) &&
                   size - 4 >= RecordOffset(header.lastDay + 1, header.firstDay)
               ? 1
               : 0;
}

int UserStore::WriteHeader(const std::string& name, const UserFileHeader& header) {
    const auto title = StoredName(name);
    if (!title) return 0;
    StoreFile file;
    if (!file.Open(UserPath(*title), StoreFile::ReadWrite)) return 0;
    // Synced: the graph window writes the period it shows without a backup, and a header
    // written is then one kept.
    if (!WriteHeaderTo(file, header) || !file.Sync()) return 0;
    return file.Close() ? 1 : 0;
}

int UserStore::Create(const std::string& name, const std::string& password) {
    if (!IsValidUserName(name) || Exists(name)) return 0;
    UserFileHeader header;
    if (!SetHeaderPassword(header, password)) return 0;
    const LocalDate today = LocalToday();
    uint32_t day, weekday;
    if (!DayCalendar().DateToDay(today.year, today.month, today.day, day, weekday)) return 0;

    uint8_t bytes[kHeaderSize + kDayRecordSize] = {};
    PackHeader(NewUserHeader(day, password), bytes);
    // Made whole beside the store and renamed into place: a new user exists whole or not
    // at all, and a link of its name is replaced, never written through.
    const fs::path temp = directory_ / (name + std::string(kImportTempSuffix));
    StoreFile file;
    if (!OpenScratch(file, temp)) return 0;
    if (!file.WriteAll(bytes, sizeof bytes) || !file.Sync() || !file.Close() ||
        !StoreRename(temp, UserPath(name))) {
        file.Close();
        StoreRemove(temp);
        return 0;
    }
    SyncDirectory(directory_);
    ++count_;
    return 1;
}

int UserStore::ImportFile(const std::string& name, const fs::path& source) {
    if (!IsValidUserName(name)) return 0;
    const std::string title = StoredName(name).value_or(name);
    StoreFile in;
    uint64_t size = 0;
    if (!in.Open(source, StoreFile::ReadOnly) || !in.Size(size) || size < 4) return 0;
    // Written beside the store and renamed into place, so a failed import leaves an
    // existing user of that name as it was.
    const fs::path temp = directory_ / (title + std::string(kImportTempSuffix));
    if (!CopyIntoPlace(in, size - 4, temp, UserPath(title))) return 0;
    SyncDirectory(directory_);
    return 1;
}

int UserStore::ExportFile(const std::string& name, const fs::path& destination) const {
    const auto title = StoredName(name);
    if (!title) return 0;
    const fs::path user = UserPath(*title);
    std::error_code ec;
    if (fs::equivalent(user, destination, ec)) return 0;  // would truncate the user itself
    StoreFile in, out;
    uint64_t size = 0;
    fs::path temp;
    if (!in.Open(user, StoreFile::ReadOnly) || !in.Size(size)) return 0;
    // Written beside the destination and renamed over it: a failed export keeps the file
    // it was to replace.
    if (!out.CreateBeside(destination, temp)) return 0;
    uint32_t sum = 0;
    uint8_t trailer[4];
    bool ok = CopyBytes(in, out, size, &sum);
    PutBigEndian32(trailer, sum);
    ok = ok && out.WriteAll(trailer, 4) && out.Sync() && out.Close() &&
         StoreRename(temp, destination);
    if (!ok) {
        out.Close();
        StoreRemove(temp);
        return 0;
    }
    SyncDirectoryOf(destination);
    return 1;
}

// A backup left by a change that did not end is the last state known to be whole; it is
// put back before anything else changes the user or takes a new one from a file that may
// be half rewritten.
bool UserStore::RestorePendingBackup(const std::string& title) {
    std::error_code ec;
    if (!fs::exists(BackupPath(title), ec)) return true;
    if (!StoreRename(BackupPath(title), UserPath(title))) return false;
    SyncDirectory(directory_);
    return true;
}

int UserStore::Backup(const std::string& name) {
    const auto title = StoredName(name);
    if (!title) return 0;
    if (!RestorePendingBackup(*title)) return 0;
    const fs::path temp = directory_ / (*title + std::string(kBackupTempSuffix));
    StoreFile in;
    uint64_t size = 0;
    if (!in.Open(UserPath(*title), StoreFile::ReadOnly) || !in.Size(size)) return 0;
    if (!CopyIntoPlace(in, size, temp, BackupPath(*title))) return 0;
    SyncDirectory(directory_);
    return 1;
}

int UserStore::EndBackup(const std::string& name, bool discard) {
    if (!IsSafeTitle(name)) return 0;
    const std::string title = StoredName(name).value_or(name);
    const fs::path backup = BackupPath(title);
    std::error_code ec;
    if (!fs::exists(backup, ec)) return 0;
    if (!discard) {
        // One rename puts the whole old file back; there is no moment without a user file.
        if (!StoreRename(backup, UserPath(title))) return 0;
        SyncDirectory(directory_);
        return 1;
    }
    // The change must be on disk before the only other copy goes.
    StoreFile user;
    if (!user.Open(UserPath(title), StoreFile::ReadOnly) || !user.Sync()) return 0;
    user.Close();
    if (!StoreRemove(backup)) return 0;
    SyncDirectory(directory_);
    return 1;
}

int UserStore::Rename(const std::string& oldName, const std::string& newName,
                      const std::string& password) {
    if (!IsValidUserName(newName)) return 0;
    const auto title = StoredName(oldName);
    if (!title) return 0;
    // A rename replaces an existing file silently here: never onto another user.
    const auto other = StoredName(newName);
    if (other && *other != *title) return 0;
    // The backup would otherwise come back under the old name beside the renamed user.
    if (!RestorePendingBackup(*title)) return 0;
    UserFileHeader header;
    if (!ReadHeader(*title, header)) return 0;
    uint8_t before[kHeaderSize], after[kHeaderSize];
    PackHeader(header, before);
    if (!SetHeaderPassword(header, password)) return 0;
    PackHeader(header, after);
    const bool sameHeader = std::memcmp(before, after, kHeaderSize) == 0;
    if (newName == *title) {
        if (sameHeader) return 1;
        if (!Backup(*title)) return 0;
        const bool written = WriteHeader(*title, header);
        return EndBackup(*title, written) && written ? 1 : 0;
    }
    if (sameHeader) {  // one rename: the user has the old name or the new one
        if (!StoreRename(UserPath(*title), UserPath(newName))) return 0;
        SyncDirectory(directory_);
        return 1;
    }
    // A new name and a new header: the renamed user is written whole beside the store, and
    // its rename into place decides. A note of the new name lets a start after a crash
    // either drop the old file (the new one is in place) or the unfinished new one.
    const fs::path marker = directory_ / (*title + std::string(kRenameSuffix));
    const fs::path temp = directory_ / (newName + std::string(kImportTempSuffix));
    StoreFile note, in;
    uint64_t size = 0;
    if (!OpenScratch(note, marker) || !note.WriteAll(newName.data(), newName.size()) ||
        !note.Sync() || !note.Close()) {
        note.Close();
        StoreRemove(marker);
        return 0;
    }
    SyncDirectory(directory_);
    if (!in.Open(UserPath(*title), StoreFile::ReadOnly) || !in.Size(size) ||
        !CopyIntoPlace(in, size, temp, UserPath(newName), after)) {
        StoreRemove(marker);
        SyncDirectory(directory_);
        return 0;
    }
    in.Close();
    SyncDirectory(directory_);
    // Done from here on: what fails now, the next start finishes. The old file must be
    // gone for good before its note goes, or a power cut could leave both users.
    if (StoreRemove(UserPath(*title))) {
        SyncDirectory(directory_);
        StoreRemove(marker);
    }
    SyncDirectory(directory_);
    return 1;
}

int UserStore::Delete(const std::string& name) {
    const auto title = StoredName(name);
    if (!title) return 0;
    // A backup left behind would bring the user back when the store opens next; once it
    // is the user file, one removal takes the user for good.
    if (!RestorePendingBackup(*title) || !StoreRemove(UserPath(*title))) return 0;
    SyncDirectory(directory_);
    return 1;
}

int UserStore::EnumUsers(const UserCallback& callback) {
    count_ = 0;
    for (const std::string& title : ListUserTitles(directory_)) {
        UserFileHeader header;
        StoreFile file;
        if (!file.Open(UserPath(title), StoreFile::ReadOnly) || !ReadHeaderFrom(file, header))
            continue;
        file.Close();
        ++count_;
        if (callback) callback(title, header);
    }
    return 1;
}

int UserStore::EnumUsersMatching(const std::string& pattern, const UserCallback& callback) const {
    const std::string folded = FoldCase(pattern);
    for (const std::string& title : ListUserTitles(directory_)) {
        if (FoldCase(title).find(folded) == std::string::npos) continue;
        UserFileHeader header;
        StoreFile file;
        if (!file.Open(UserPath(title), StoreFile::ReadOnly) || !ReadHeaderFrom(file, header))
            continue;
        file.Close();
        if (callback) callback(title, header);
    }
    return 1;
}

namespace {

// Days first … first + count - 1 from a file whose header was just read.
int ReadDaysFrom(StoreFile& file, const UserFileHeader& header, uint32_t first, uint32_t count,
                 uint8_t* records) {
    if (count == 0) return 1;
    if (!ValidRange(first, count)) return 0;
    std::memset(records, 0, size_t(count) * kDayRecordSize);
    if (!ValidStoredRange(header)) return 0;
    const uint32_t last = first + count - 1;
    if (last < header.firstDay || first > header.lastDay) return 1;
    const uint32_t from = std::max(first, header.firstDay), to = std::min(last, header.lastDay);
    const size_t bytes = size_t(to - from + 1) * kDayRecordSize;
    return file.ReadAt(RecordOffset(from, header.firstDay),
                       records + size_t(from - first) * kDayRecordSize, bytes)
               ? 1
               : 0;
}

// The records through `read(count, bytes)`, decoded.
template <typename Read>
int ReadRecords(std::span<DayRecord> records, Read read) {
    if (records.size() > kMaxDayNumber) {  // longer than the calendar
        std::fill(records.begin(), records.end(), DayRecord{});
        return 0;
    }
    std::vector<uint8_t> bytes(records.size() * kDayRecordSize);
    const int ok = read(uint32_t(records.size()), bytes.data());
    // Built in place: copying each returned record would cost more than decoding it.
    for (size_t i = 0; i < records.size(); ++i)
        ::new (static_cast<void*>(&records[i]))
            DayRecord(UnpackDayRecord(bytes.data() + i * kDayRecordSize));
    return ok;
}

}  // namespace

int UserStore::ReadDays(const std::string& name, uint32_t first, uint32_t count,
                        uint8_t* records) const {
    if (count == 0) return 1;
    if (!ValidRange(first, count)) return 0;
    std::memset(records, 0, size_t(count) * kDayRecordSize);
    StoreFile file;
    UserFileHeader header;
    if (!OpenUser(name, file) || !ReadHeaderFrom(file, header)) return 0;
    return ReadDaysFrom(file, header, first, count, records);
}

int UserStore::ReadDays(const std::string& name, uint32_t first,
                        std::span<DayRecord> records) const {
    return ReadRecords(records, [&](uint32_t count, uint8_t* bytes) {
        return ReadDays(name, first, count, bytes);
    });
}

UserReader::UserReader(const UserStore& store, const std::string& name)
    : file_(std::make_unique<StoreFile>()) {
    open_ = store.OpenUser(name, *file_) && ReadHeaderFrom(*file_, header_);
}

UserReader::~UserReader() = default;

int UserReader::ReadDays(uint32_t first, std::span<DayRecord> records) {
    return ReadRecords(records, [&](uint32_t count, uint8_t* bytes) {
        if (open_) return ReadDaysFrom(*file_, header_, first, count, bytes);
        std::memset(bytes, 0, size_t(count) * kDayRecordSize);
        return count == 0 ? 1 : 0;
    });
}

int UserStore::WriteDays(const std::string& name, uint32_t first,
                         std::span<const DayRecord> records) {
    if (records.size() > kMaxDayNumber) return 0;
    std::vector<uint8_t> bytes(records.size() * kDayRecordSize);
    for (size_t i = 0; i < records.size(); ++i)
        PackDayRecord(records[i], bytes.data() + i * kDayRecordSize);
    return WriteDays(name, first, uint32_t(records.size()), bytes.data());
}

int UserStore::WriteDays(const std::string& name, uint32_t first, uint32_t count,
                         const uint8_t* records) {
    if (count == 0) return 1;
    if (!ValidRange(first, count)) return 0;
    const auto title = StoredName(name);
    if (!title) return 0;
    UserFileHeader old;
    StoreFile stored;
    uint64_t size = 0;
    if (!stored.Open(UserPath(*title), StoreFile::ReadOnly) || !ReadHeaderFrom(stored, old) ||
        !ValidStoredRange(old) || !stored.Size(size))
        return 0;
    // Reads refuse a file whose records stop early; a write would fill or drop the missing
    // days and hide the damage for good.
    if (size < RecordOffset(old.lastDay + 1, old.firstDay)) return 0;
    stored.Close();
    const uint32_t last = first + count - 1;
    UserFileHeader header = old;
    header.firstDay = std::min(first, old.firstDay);
    header.lastDay = std::max(last, old.lastDay);
    const size_t newBytes = size_t(count) * kDayRecordSize;
    const fs::path path = UserPath(*title);

    if (first < old.firstDay && last >= old.lastDay) {  // the new run covers all
        StoreFile file;
        if (!file.Open(path, StoreFile::CreateTruncate)) return 0;
        return WriteHeaderTo(file, header) && file.WriteAll(records, newBytes) && file.Close() ? 1
                                                                                               : 0;
    }
    if (first < old.firstDay) {  // before, with or without a gap, or over the front
        // Park the old records that stay in the scratch file, rewrite the user file from
        // the new run on, and append them again.
        const uint32_t keepFrom = last < old.firstDay ? old.firstDay : last + 1;
        const uint64_t keepBytes = uint64_t(old.lastDay - keepFrom + 1) * kDayRecordSize;
        const fs::path scratch = directory_ / kScratchName;
        StoreFile file, temp;
        if (!file.Open(path, StoreFile::ReadOnly) ||
            !file.Seek(RecordOffset(keepFrom, old.firstDay)))
            return 0;
        const bool ok = OpenScratch(temp, scratch) && CopyBytes(file, temp, keepBytes) &&
                        file.Close() && temp.Seek(0) &&
                        file.Open(path, StoreFile::CreateTruncate) && WriteHeaderTo(file, header) &&
                        file.WriteAll(records, newBytes) &&
                        (last >= old.firstDay || WriteZeroRecords(file, old.firstDay - last - 1)) &&
                        CopyBytes(temp, file, keepBytes) && file.Close();
        temp.Close();
        StoreRemove(scratch);  // it holds old days; nothing needs it any more
        return ok ? 1 : 0;
    }
    StoreFile file;
    if (!file.Open(path, StoreFile::ReadWrite)) return 0;
    if (first > old.lastDay) {  // after, with or without a gap
        if (!file.Seek(RecordOffset(old.lastDay + 1, old.firstDay)) ||
            !WriteZeroRecords(file, first - old.lastDay - 1))
            return 0;
    } else if (!file.Seek(RecordOffset(first, old.firstDay))) {  // inside or over the end
        return 0;
    }
    return file.WriteAll(records, newBytes) && WriteHeaderTo(file, header) && file.Close() ? 1 : 0;
}

}  // namespace stepora
