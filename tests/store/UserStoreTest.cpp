#include "store/UserStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "app/Clock.h"
#include "store/DayCalendar.h"
#include "store/StoreTestSupport.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TaggedRun;
using test::TempDir;
using test::UserModel;
using test::WriteFile;

constexpr uint32_t kToday = 46362;  // 2026-12-07

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLocalTodayOverride([] { return LocalDate{2026, 12, 7}; });
        fs::create_directories(dir / "User");
        store.SetDirectory(dir / "User");
    }
    void TearDown() override { SetLocalTodayOverride(nullptr); }

    fs::path UserFile(const std::string& name) const { return dir / "User" / (name + ".usr"); }
    std::string Bytes(const std::string& name) const { return ReadFile(UserFile(name)); }

    TempDir dir;
    UserStore store;
};

TEST_F(StoreTest, CreateMakesTheNinetyFourByteFileOfTheDayBefore) {
    ASSERT_TRUE(store.Create("Anna", "pw"));
    const std::string bytes = Bytes("Anna");
    ASSERT_EQ(bytes.size(), 94u);
    EXPECT_EQ(bytes.substr(76), std::string(18, '\0'));
    UserFileHeader h;
    ASSERT_TRUE(store.ReadHeader("Anna", h));
    EXPECT_EQ(h.firstDay, kToday - 1);
    EXPECT_EQ(h.lastDay, kToday - 1);
    EXPECT_EQ(HeaderPassword(h), "pw");
    EXPECT_EQ(store.GetCount(), 1u);

    std::vector<uint8_t> days(5 * kDayRecordSize, 0xEE);
    ASSERT_TRUE(store.ReadDays("Anna", kToday - 3, 5, days.data()));
    EXPECT_TRUE(std::all_of(days.begin(), days.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(StoreTest, CreateRefusesExistingNamesLongPasswordsAndBadNames) {
    ASSERT_TRUE(store.Create("Anna", ""));
    ASSERT_TRUE(store.WriteDays("Anna", kToday, 1, TaggedRun(kToday, 1, 7).data()));
    const std::string before = Bytes("Anna");
    EXPECT_FALSE(store.Create("Anna", "x"));
    EXPECT_FALSE(store.Create("anna", "x"));  // names are one user whatever their case
    EXPECT_EQ(Bytes("Anna"), before);

    EXPECT_FALSE(store.Create("Bert", "abcdefghijklmnop"));
    EXPECT_FALSE(fs::exists(UserFile("Bert")));
    for (const char* bad : {"", ".", "..", "../Evil", "a/b", "a\\b", "tab\there", "nl\n"}) {
        EXPECT_FALSE(store.Create(bad, "")) << bad;
        EXPECT_FALSE(store.Exists(bad)) << bad;
    }
    EXPECT_FALSE(fs::exists(dir / "Evil.usr"));
    EXPECT_EQ(store.GetCount(), 1u);
}

// 255 bytes a file name on Linux; the longest name the store makes from a user name is
// the import's temp file, name + ".usr.tmp".
TEST_F(StoreTest, ANameMayBeAsLongAsEveryFileTheStoreMakesOfIt) {
    const std::string longest(247, 'n'), tooLong(248, 'n');
    ASSERT_TRUE(store.Create(longest, "pw"));
    ASSERT_TRUE(store.Backup(longest));
    ASSERT_TRUE(store.WriteDays(longest, kToday, 2, TaggedRun(kToday, 2, 3).data()));
    ASSERT_TRUE(store.EndBackup(longest, true));
    const fs::path exported = dir / "long.usr";
    ASSERT_TRUE(store.ExportFile(longest, exported));
    ASSERT_TRUE(store.ImportFile(longest, exported));
    ASSERT_TRUE(store.Rename(longest, "Anna", ""));
    ASSERT_TRUE(store.Rename("Anna", longest, "pw"));
    const std::string bytes = Bytes(longest);

    EXPECT_FALSE(store.Create(tooLong, ""));
    EXPECT_FALSE(store.Rename(longest, tooLong, ""));
    EXPECT_FALSE(store.ImportFile(tooLong, exported));
    EXPECT_FALSE(store.Exists(tooLong));
    EXPECT_EQ(Bytes(longest), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "User"), fs::directory_iterator()), 1);
}

TEST_F(StoreTest, NamesMatchIgnoringCaseIncludingUmlauts) {
    ASSERT_TRUE(store.Create("J\xC3\xBCrgen", ""));  // Jürgen
    EXPECT_TRUE(store.Exists("J\xC3\x9CRGEN"));      // JÜRGEN
    EXPECT_EQ(store.StoredName("j\xC3\xBCrgen").value_or(""), "J\xC3\xBCrgen");
    UserFileHeader h;
    EXPECT_TRUE(store.ReadHeader("J\xC3\x9CRGEN", h));
    EXPECT_FALSE(store.Exists("Jurgen"));
}

TEST_F(StoreTest, HeaderWriteNeverCreatesAndUnreadableHeadersFail) {
    UserFileHeader h = NewUserHeader(kToday, "");
    EXPECT_FALSE(store.WriteHeader("Ghost", h));
    EXPECT_FALSE(fs::exists(UserFile("Ghost")));

    ASSERT_TRUE(WriteFile(UserFile("Short"), std::string(75, 'x')));
    EXPECT_FALSE(store.ReadHeader("Short", h));
    ASSERT_TRUE(store.Create("Bent", ""));
    std::string bytes = Bytes("Bent");
    bytes[40] ^= 1;
    ASSERT_TRUE(WriteFile(UserFile("Bent"), bytes));
    EXPECT_FALSE(store.ReadHeader("Bent", h));
    std::vector<uint8_t> days(kDayRecordSize);
    EXPECT_FALSE(store.ReadDays("Bent", kToday, 1, days.data()));
    EXPECT_FALSE(store.WriteDays("Bent", kToday, 1, days.data()));
}

// Reads refuse the missing days; a write past them would fill them with zeros for good.
TEST_F(StoreTest, AFileShorterThanItsHeaderSaysIsNeverWritten) {
    ASSERT_TRUE(store.Create("Anna", ""));
    const uint32_t S = kToday - 1;
    ASSERT_TRUE(store.WriteDays("Anna", S, 10, TaggedRun(S, 10, 1).data()));
    std::string cut = Bytes("Anna");
    cut.resize(cut.size() - 2 * kDayRecordSize - 5);
    ASSERT_TRUE(WriteFile(UserFile("Anna"), cut));
    const std::pair<int32_t, uint32_t> writes[] = {{2, 1}, {8, 4}, {12, 2}, {-3, 2}, {-2, 4}, {-1, 12}};
    for (const auto& [offset, count] : writes) {
        const uint32_t first = uint32_t(int32_t(S) + offset);
        EXPECT_FALSE(store.WriteDays("Anna", first, count, TaggedRun(first, count, 2).data())) << offset;
        EXPECT_TRUE(Bytes("Anna") == cut) << offset;
    }
}

// Stored range [S, E] = [46000, 46020]; each case writes a run and the file must equal
// the model: new days replace old ones, the gaps between are zero records.
struct WriteCase {
    const char* name;
    int32_t firstOffset;  // from S
    uint32_t count;
};

class WriteDaysCases : public StoreTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteDaysCases, FileEqualsTheModel) {
    constexpr uint32_t S = 46000, E = 46020;
    SetLocalTodayOverride([] {
        uint32_t y, m, d, w;
        DayCalendar().DayToDate(S + 1, y, m, d, w);
        return LocalDate{y, m, d};
    });
    ASSERT_TRUE(store.Create("Anna", "pw"));
    UserModel model;
    ASSERT_TRUE(store.ReadHeader("Anna", model.header));
    const auto old = TaggedRun(S, E - S + 1, 1);
    ASSERT_TRUE(store.WriteDays("Anna", S, E - S + 1, old.data()));
    model.Write(S, E - S + 1, old.data());
    ASSERT_EQ(Bytes("Anna"), model.Bytes());

    const WriteCase& c = GetParam();
    const uint32_t first = uint32_t(int32_t(S) + c.firstOffset);
    const auto run = TaggedRun(first, c.count, 2);
    ASSERT_TRUE(store.WriteDays("Anna", first, c.count, run.data()));
    model.Write(first, c.count, run.data());
    EXPECT_EQ(Bytes("Anna"), model.Bytes());

    // Reading any window gives the model's records, zero outside the stored range.
    for (int32_t from = -8; from < int32_t(E - S) + 10; from += 3) {
        const uint32_t f = uint32_t(int32_t(S) + from), n = 7;
        std::vector<uint8_t> got(n * kDayRecordSize, 0xEE);
        ASSERT_TRUE(store.ReadDays("Anna", f, n, got.data()));
        const std::string all = model.Bytes();
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t d = f + i;
            std::string want(kDayRecordSize, '\0');
            if (d >= model.header.firstDay && d <= model.header.lastDay)
                want = all.substr(kHeaderSize + (d - model.header.firstDay) * kDayRecordSize, kDayRecordSize);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(got.data()) + i * kDayRecordSize, kDayRecordSize), want)
                << "day " << d;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllCases, WriteDaysCases,
    ::testing::Values(WriteCase{"CoversAll", -2, 25}, WriteCase{"CoversExactlyFromBefore", -1, 22},
                      WriteCase{"BeforeWithGap", -5, 3},       // ends two days before S: one zero record
                      WriteCase{"BeforeAdjacent", -3, 3}, WriteCase{"OverlapsFront", -3, 5},
                      WriteCase{"OverlapsFrontToLastButOne", -1, 21}, WriteCase{"Inside", 5, 3},
                      WriteCase{"FirstDayOnly", 0, 1}, WriteCase{"OverTheEnd", 19, 5},
                      WriteCase{"AfterAdjacent", 21, 2}, WriteCase{"AfterWithGap", 25, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, BeforeWithGapMovesTheFirstDayBackByFour) {
    ASSERT_TRUE(store.Create("Anna", ""));
    UserFileHeader h;
    ASSERT_TRUE(store.ReadHeader("Anna", h));
    const uint32_t S = h.firstDay;
    ASSERT_TRUE(store.WriteDays("Anna", S - 4, 3, TaggedRun(S - 4, 3, 5).data()));
    ASSERT_TRUE(store.ReadHeader("Anna", h));
    EXPECT_EQ(h.firstDay, S - 4);
    EXPECT_EQ(h.lastDay, S);
    EXPECT_EQ(Bytes("Anna").size(), 76u + 5 * 18u);
}

TEST_F(StoreTest, DayRangesOutsideTheCalendarAreRefused) {
    ASSERT_TRUE(store.Create("Anna", ""));
    const std::string before = Bytes("Anna");
    std::vector<uint8_t> buf(3 * kDayRecordSize);
    EXPECT_FALSE(store.WriteDays("Anna", 0, 1, buf.data()));
    EXPECT_FALSE(store.WriteDays("Anna", kMaxDayNumber - 1, 3, buf.data()));
    EXPECT_FALSE(store.WriteDays("Anna", 4000000000u, 3, buf.data()));  // would wrap
    EXPECT_FALSE(store.ReadDays("Anna", 0, 1, buf.data()));
    EXPECT_FALSE(store.ReadDays("Anna", kMaxDayNumber, 2, buf.data()));
    EXPECT_TRUE(store.WriteDays("Anna", kToday, 0, nullptr));
    EXPECT_TRUE(store.ReadDays("Anna", kToday, 0, nullptr));
    EXPECT_EQ(Bytes("Anna"), before);
    EXPECT_TRUE(store.ReadDays("Anna", kMaxDayNumber, 1, buf.data()));
}

TEST_F(StoreTest, EnumerationSkipsUnreadableUsersAndMatchesIgnoringCase) {
    for (const char* name : {"Anna", "ANNE", "Bob"}) ASSERT_TRUE(store.Create(name, ""));
    ASSERT_TRUE(WriteFile(UserFile("Broken"), std::string(94, '\x01')));
    ASSERT_TRUE(WriteFile(dir / "User" / "notes.txt", "x"));
    fs::create_directories(dir / "User" / "Folder.usr");

    std::set<std::string> seen;
    ASSERT_TRUE(store.EnumUsers([&](const std::string& n, const UserFileHeader&) { seen.insert(n); }));
    EXPECT_EQ(seen, (std::set<std::string>{"Anna", "ANNE", "Bob"}));
    EXPECT_EQ(store.GetCount(), 3u);

    auto matching = [&](const std::string& pattern) {
        std::set<std::string> names;
        store.EnumUsersMatching(pattern, [&](const std::string& n, const UserFileHeader&) { names.insert(n); });
        return names;
    };
    EXPECT_EQ(matching("NN"), (std::set<std::string>{"Anna", "ANNE"}));
    EXPECT_EQ(matching("nx"), std::set<std::string>{});
    EXPECT_EQ(matching("o"), std::set<std::string>{"Bob"});
    EXPECT_EQ(matching("broken"), std::set<std::string>{});
    store.EnumUsersMatching("a", nullptr);
    EXPECT_EQ(store.GetCount(), 3u);  // matching leaves the count alone
}

TEST_F(StoreTest, ExportImportRoundTripAndExportChecks) {
    ASSERT_TRUE(store.Create("Anna", "pw"));
    const std::string original = Bytes("Anna");
    const fs::path exported = dir / "Anna-export.usr";
    ASSERT_TRUE(store.ExportFile("Anna", exported));
    const std::string bytes = ReadFile(exported);
    ASSERT_EQ(bytes.size(), 98u);
    EXPECT_EQ(bytes.substr(0, 94), original);
    EXPECT_TRUE(store.CheckExportFile(exported));

    ASSERT_TRUE(store.ImportFile("Carla", exported));
    EXPECT_EQ(Bytes("Carla"), original);

    auto rejected = [&](const std::string& content) {
        const fs::path p = dir / "candidate.usr";
        EXPECT_TRUE(WriteFile(p, content));
        return !store.CheckExportFile(p);
    };
    std::string badTrailer = bytes;
    badTrailer.back() ^= 1;
    EXPECT_TRUE(rejected(badTrailer));
    EXPECT_TRUE(rejected(bytes.substr(0, 75)));
    EXPECT_TRUE(rejected(original.substr(0, 76)));  // a bare header is no exported file
    // Right trailer over a header whose own checksum fails.
    std::string badHeader = original;
    badHeader[20] ^= 1;
    uint32_t sum = ByteSum(reinterpret_cast<const uint8_t*>(badHeader.data()), badHeader.size());
    for (int s = 24; s >= 0; s -= 8) badHeader += char(sum >> s);
    EXPECT_TRUE(rejected(badHeader));
    EXPECT_FALSE(store.CheckExportFile(dir / "missing.usr"));

    EXPECT_FALSE(store.ExportFile("Nobody", dir / "x.usr"));
    EXPECT_FALSE(store.ExportFile("Anna", UserFile("Anna")));  // never onto the user itself
    EXPECT_EQ(Bytes("Anna"), original);
}

TEST_F(StoreTest, RenameKeepsOtherUsersAndChangesThePassword) {
    ASSERT_TRUE(store.Create("Anna", "old"));
    ASSERT_TRUE(store.Create("Bob", ""));
    const std::string bob = Bytes("Bob");
    EXPECT_FALSE(store.Rename("Anna", "Bob", "new"));
    EXPECT_FALSE(store.Rename("Anna", "BOB", "new"));
    EXPECT_EQ(Bytes("Bob"), bob);
    EXPECT_FALSE(store.Rename("Anna", "Anne", "sixteen-letters!"));
    EXPECT_FALSE(store.Rename("Anna", "../Anne", "new"));
    UserFileHeader h;
    ASSERT_TRUE(store.ReadHeader("Anna", h));
    EXPECT_EQ(HeaderPassword(h), "old");

    ASSERT_TRUE(store.Rename("Anna", "ANNA", "new"));  // a change of case of the same user
    EXPECT_EQ(store.StoredName("anna").value_or(""), "ANNA");
    ASSERT_TRUE(store.Rename("ANNA", "Hanna", ""));
    EXPECT_FALSE(store.Exists("ANNA"));
    ASSERT_TRUE(store.ReadHeader("Hanna", h));
    EXPECT_EQ(HeaderPassword(h), "");
}

TEST_F(StoreTest, BackupRestoreAndDiscard) {
    ASSERT_TRUE(store.Create("Anna", ""));
    const std::string before = Bytes("Anna");
    EXPECT_FALSE(store.EndBackup("Anna", false));  // nothing to restore
    EXPECT_EQ(Bytes("Anna"), before);
    EXPECT_FALSE(store.Backup("Nobody"));

    ASSERT_TRUE(store.Backup("Anna"));
    ASSERT_TRUE(store.WriteDays("Anna", kToday, 3, TaggedRun(kToday, 3, 9).data()));
    ASSERT_TRUE(store.EndBackup("Anna", false));
    EXPECT_EQ(Bytes("Anna"), before);
    EXPECT_FALSE(fs::exists(dir / "User" / "Anna_bk.bin"));

    ASSERT_TRUE(store.Backup("Anna"));
    ASSERT_TRUE(store.WriteDays("Anna", kToday, 3, TaggedRun(kToday, 3, 9).data()));
    const std::string after = Bytes("Anna");
    ASSERT_TRUE(store.EndBackup("Anna", true));
    EXPECT_EQ(Bytes("Anna"), after);
    EXPECT_FALSE(fs::exists(dir / "User" / "Anna_bk.bin"));
}

TEST_F(StoreTest, DeleteTakesTheUserAndAnyBackupAlong) {
    ASSERT_TRUE(store.Create("Anna", ""));
    ASSERT_TRUE(store.Backup("Anna"));
    ASSERT_TRUE(store.Delete("anna"));
    EXPECT_FALSE(store.Exists("Anna"));
    store.SetDirectory(dir / "User");  // no interrupted change brings her back
    EXPECT_FALSE(store.Exists("Anna"));
    EXPECT_FALSE(store.Delete("Anna"));
}

}  // namespace
}  // namespace stepora
