// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/UserStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <tuple>

#include "store/StoreTestSupport.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;
using namespace test;

class StoreTest : public ::testing::Test, public StoreDir {};

TEST_F(StoreTest, CreateMakesAFileOfTheDayBeforeForAFreeValidName) {
    ASSERT_TRUE(store.Create("Anna", "pw"));
    EXPECT_EQ(Bytes().substr(76), std::string(18, '\0'));
    UserFileHeader h;
    ASSERT_TRUE(store.ReadHeader("Anna", h));
    EXPECT_EQ(std::tie(h.firstDay, h.lastDay, h.defaultPeriod, h.periodMode, h.weekStart), std::tuple(S, S, 1u, 1u, 1u));
    EXPECT_EQ(HeaderPassword(h), "pw");
    const std::string before = Bytes();
    EXPECT_FALSE(store.Create("anna", "x"));  // one user whatever the case
    EXPECT_FALSE(store.Create("Bert", "abcdefghijklmnop") || store.Exists("Bert"));
    for (const char* bad : {"", ".", "..", "../Evil", "a/b", "a\\b", "tab\there", "nl\n", "no\xFFutf8"})
        EXPECT_FALSE(store.Create(bad, "") || store.Exists(bad)) << bad;
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(store.GetCount(), 1u);
    EXPECT_FALSE(fs::exists(dir / "Evil.usr"));
}

// 255 bytes a file name; the longest file the store names after a user is name + ".usr.tmp".
TEST_F(StoreTest, ANameMayBeAsLongAsEveryFileTheStoreMakesOfIt) {
    const std::string longest(247, 'n'), tooLong(248, 'n');
    const fs::path exported = dir / "long.usr";
    ASSERT_TRUE(store.Create(longest, "pw"));
    ASSERT_TRUE(store.Backup(longest) && store.EndBackup(longest, true));
    ASSERT_TRUE(store.ExportFile(longest, exported) && store.ImportFile(longest, exported));
    EXPECT_FALSE(store.Create(tooLong, "") || store.Rename(longest, tooLong, "") || store.ImportFile(tooLong, exported));
    EXPECT_EQ(std::distance(fs::directory_iterator(users), fs::directory_iterator()), 1);
}

// Days are never written to a file whose header fails its checksum or that is shorter
// than its header says (that would fill the missing days with zeros for good), nor
// outside the calendar.
TEST_F(StoreTest, DamagedFilesAndDaysOutsideTheCalendarAreNeverWritten) {
    MakeAnna();
    std::vector<uint8_t> all((E - S + 1) * kDayRecordSize);
    for (uint32_t first : {0u, kMaxDayNumber - 1, 4000000000u})
        EXPECT_FALSE(store.WriteDays("Anna", first, 3, all.data()) || store.ReadDays("Anna", first, 3, all.data()));
    EXPECT_TRUE(store.ReadDays("Anna", kMaxDayNumber, 1, all.data()));
    std::string bent = Bytes(), cut = Bytes();
    bent[40] ^= 1;
    cut.resize(cut.size() - 2 * kDayRecordSize - 5);
    for (const std::string& damaged : {bent, cut}) {
        ASSERT_TRUE(WriteFile(File("Anna"), damaged));
        for (const auto& [offset, count] : {std::pair{2, 1u}, {18, 4u}, {22, 2u}, {-3, 2u}, {-2, 4u}, {-1, 24u}}) {
            const uint32_t first = uint32_t(int32_t(S) + offset);
            EXPECT_FALSE(store.WriteDays("Anna", first, count, TaggedRun(first, count, 2).data())) << offset;
        }
        EXPECT_TRUE(Bytes() == damaged);
        EXPECT_FALSE(store.ReadDays("Anna", S, E - S + 1, all.data()));
    }
    EXPECT_FALSE(store.WriteHeader("Ghost", UserFileHeader{}));
    EXPECT_FALSE(fs::exists(File("Ghost")));
}

// Each run is written over the stored days S..E: new days replace old ones, the gaps
// between are zero records, and every window reads as the model, zero outside it.
TEST_F(StoreTest, WritesAndReadsFollowTheModel) {
    const std::pair<int32_t, uint32_t> runs[] = {{-2, 25}, {-1, 22}, {-5, 3}, {-3, 3}, {-3, 5}, {-1, 21},
                                                 {5, 3},   {0, 1},   {19, 5}, {21, 2}, {25, 4}};
    for (const auto& [offset, count] : runs) {
        SCOPED_TRACE(testing::Message() << "run at " << offset << " of " << count);
        store.Delete("Anna");
        UserModel model = MakeAnna();
        const uint32_t first = uint32_t(int32_t(S) + offset);
        const auto run = TaggedRun(first, count, 2);
        ASSERT_TRUE(store.WriteDays("Anna", first, count, run.data()));
        model.Write(first, count, run.data());
        EXPECT_EQ(Bytes(), model.Bytes());

        for (uint32_t from = S - 8; from < E + 10; from += 3) {
            std::string got(8 * kDayRecordSize, '\xEE'), want;  // 7 days and a guard
            ASSERT_TRUE(store.ReadDays("Anna", from, 7, reinterpret_cast<uint8_t*>(got.data())));
            for (uint32_t d = from; d < from + 7; ++d) want += model.Record(d);
            EXPECT_EQ(got, want + std::string(kDayRecordSize, '\xEE')) << "from " << from;
        }
    }
}

TEST_F(StoreTest, EnumerationSkipsUnreadableUsersAndNamesIgnoreCase) {
    for (const char* name : {"Anna", "ANNE", "J\xC3\xBCrgen"}) ASSERT_TRUE(store.Create(name, ""));  // Jürgen
    ASSERT_TRUE(WriteFile(File("Broken"), std::string(94, '\x01')) && WriteFile(users / "notes.txt", "x"));
    fs::create_directories(users / "Folder.usr");
    std::set<std::string> seen;
    auto collect = [&](const std::string& n, const UserFileHeader&) { seen.insert(n); };
    ASSERT_TRUE(store.EnumUsers(collect));
    EXPECT_EQ(seen, (std::set<std::string>{"Anna", "ANNE", "J\xC3\xBCrgen"}));
    EXPECT_EQ(store.GetCount(), 3u);
    for (const auto& [pattern, count] : {std::pair{"NN", 2u}, {"\xC3\x9CR", 1u}, {"broken", 0u}}) {  // ÜR
        seen.clear();
        store.EnumUsersMatching(pattern, collect);
        EXPECT_EQ(seen.size(), count) << pattern;
    }
    EXPECT_EQ(store.StoredName("J\xC3\x9CRGEN").value_or(""), "J\xC3\xBCrgen");
}

TEST_F(StoreTest, ExportAddsAByteSumThatImportAndCheckRequire) {
    MakeAnna();
    const std::string original = Bytes();
    const fs::path exported = dir / "Anna-export.usr";
    ASSERT_TRUE(store.ExportFile("Anna", exported));
    const std::string bytes = ReadFile(exported);
    EXPECT_EQ(bytes.substr(0, original.size()), original);
    ASSERT_TRUE(store.CheckExportFile(exported) && store.ImportFile("Carla", exported));
    EXPECT_EQ(Bytes("Carla"), original);

    auto sign = [](std::string b) {  // a right trailer under whatever is given
        const uint32_t sum = ByteSum(reinterpret_cast<const uint8_t*>(b.data()), b.size());
        for (int s = 24; s >= 0; s -= 8) b += char(sum >> s);
        return b;
    };
    std::string badTrailer = bytes, badHeader = original.substr(0, 94);
    badTrailer.back() ^= 1;
    badHeader[20] ^= 1;
    std::vector<std::string> bad = {badTrailer, bytes.substr(0, 75), original.substr(0, 76), sign(badHeader)};
    // Right sums over a header whose range the days do not fill, that runs backwards or
    // past the calendar: such a user could be listed but never used.
    for (const auto& [first, last] : {std::pair{S, E + 933}, {E, S}, {kMaxDayNumber - 1, kMaxDayNumber + 19}}) {
        UserFileHeader h = NewUserHeader(S, "");
        std::tie(h.firstDay, h.lastDay) = std::tie(first, last);
        std::string forged = original;
        PackHeader(h, reinterpret_cast<uint8_t*>(forged.data()));
        bad.push_back(sign(forged));
    }
    for (const std::string& candidate : bad) {
        ASSERT_TRUE(WriteFile(dir / "candidate.usr", candidate));
        EXPECT_FALSE(store.CheckExportFile(dir / "candidate.usr")) << candidate.size();
    }
    EXPECT_FALSE(store.ExportFile("Anna", File("Anna")));  // never onto the user itself
    EXPECT_EQ(Bytes(), original);
}

TEST_F(StoreTest, RenameNeverReplacesAnotherUser) {
    MakeAnna();
    ASSERT_TRUE(store.Create("Bob", ""));
    const std::string bob = Bytes("Bob");
    for (const char* taken : {"Bob", "BOB", "../Anne"}) EXPECT_FALSE(store.Rename("Anna", taken, "new"));
    EXPECT_FALSE(store.Rename("Anna", "Anne", "sixteen-letters!"));
    EXPECT_EQ(Bytes("Bob"), bob);
    UserFileHeader h;
    EXPECT_TRUE(store.ReadHeader("Anna", h) && HeaderPassword(h) == "pw");
    ASSERT_TRUE(store.Rename("Anna", "ANNA", "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4xyzab"));  // 15 bytes
    EXPECT_EQ(store.StoredName("anna").value_or(""), "ANNA");                                    // the same user in other letters
    EXPECT_TRUE(store.ReadHeader("ANNA", h) && HeaderPassword(h) == "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4xyzab");
}

// A backup left behind by a change that never ended is the last whole state of the user:
// it is put back before a new backup or a rename.
TEST_F(StoreTest, EndBackupRestoresOrDiscardsAndPendingBackupsArePutBackFirst) {
    MakeAnna();
    const std::string before = Bytes();
    EXPECT_FALSE(store.EndBackup("Anna", false));  // nothing to restore
    for (const bool discard : {false, true}) {
        ASSERT_TRUE(store.Backup("Anna"));
        ASSERT_TRUE(store.WriteDays("Anna", E, 3, TaggedRun(E, 3, 9).data()));
        const std::string after = Bytes();
        ASSERT_TRUE(store.EndBackup("Anna", discard));
        EXPECT_EQ(Bytes(), discard ? after : before);
        EXPECT_EQ(Files().size(), 1u);
    }
    const std::string kept = Bytes();
    {  // a change that ends without a commit is undone at once, not at the next start
        StoreChange change(store, "Anna");
        ASSERT_TRUE(change && store.WriteDays("Anna", S + 3, 2, TaggedRun(S + 3, 2, 5).data()));
    }
    EXPECT_EQ(Bytes(), kept);
    for (const bool rename : {false, true}) {
        ASSERT_TRUE(store.Backup("Anna"));
        ASSERT_TRUE(store.WriteDays("Anna", S + 3, 2, TaggedRun(S + 3, 2, 2).data()));
        ASSERT_TRUE(rename ? store.Rename("Anna", "Hanna", "new") : store.Backup("Anna") && store.EndBackup("Anna", false));
    }
    Reopen();
    EXPECT_TRUE(Bytes("Hanna").substr(kHeaderSize) == kept.substr(kHeaderSize));
    EXPECT_EQ(Files().size(), 1u);
}

// A copy, a change or an export that may not have reached the disk is no success; a
// failed export keeps the file it was to replace.
TEST_F(StoreTest, AFailedSyncFailsTheOperation) {
    MakeAnna();
    const fs::path exported = dir / "out.usr";
    ASSERT_TRUE(WriteFile(exported, "last week"));
    FailNthFileOp(FileOp::Sync, 1);
    EXPECT_FALSE(store.Backup("Anna"));
    ASSERT_TRUE(store.Backup("Anna"));
    FailNthFileOp(FileOp::Sync, 1);
    EXPECT_FALSE(store.EndBackup("Anna", true));
    EXPECT_TRUE(fs::exists(users / "Anna_bk.bin"));
    FailNthFileOp(FileOp::Sync, 1);
    EXPECT_FALSE(store.ExportFile("Anna", exported));
    EXPECT_EQ(ReadFile(exported), "last week");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);  // out.usr and User
}

// Links where the store makes its files are replaced, never written through; a FIFO is
// refused, never waited for; a user file whose name is no UTF-8 is not listed.
TEST_F(StoreTest, LinksFifosAndForeignNamesInTheFolder) {
    MakeAnna();
    ASSERT_TRUE(WriteFile(dir / "outside", "keep") && WriteFile(users / "Bad\xFF.usr", Bytes()));
    fs::create_symlink(dir / "outside", users / "temp.bin");  // the scratch file of a front merge
    fs::create_symlink(dir / "made-there", File("Zed"));      // dangling, where a new user goes
    ASSERT_TRUE(store.WriteDays("Anna", S - 3, 2, TaggedRun(S - 3, 2, 3).data()) && store.Create("Zed", ""));
    EXPECT_EQ(ReadFile(dir / "outside"), "keep");
    EXPECT_FALSE(fs::exists(dir / "made-there") || fs::exists(fs::symlink_status(users / "temp.bin")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(File("Zed"))));
    ASSERT_EQ(mkfifo((dir / "fifo.usr").c_str(), 0600), 0);
    EXPECT_FALSE(store.CheckExportFile(dir / "fifo.usr") || store.ImportFile("Fifo", dir / "fifo.usr"));
    std::set<std::string> listed;
    store.EnumUsers([&](const std::string& name, const UserFileHeader&) { listed.insert(name); });
    EXPECT_EQ(listed, (std::set<std::string>{"Anna", "Zed"}));
}

}  // namespace
}  // namespace stepora
