// Every failure inside a change, and a kill at any moment, must leave a user file that is
// exactly the state before or after the change.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "app/Clock.h"
#include "store/DayCalendar.h"
#include "store/StoreFile.h"
#include "store/StoreTestSupport.h"
#include "store/UserStore.h"
#include "support/TempDir.h"

namespace stepora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TaggedRun;
using test::TempDir;
using test::UserModel;

constexpr FileOp kOps[] = {FileOp::Open, FileOp::Read, FileOp::Write, FileOp::Seek,
                           FileOp::Rename, FileOp::Remove, FileOp::Sync};
constexpr uint32_t S = 46000, E = 46020;

struct Fixture {
    TempDir dir;
    UserStore store;
    fs::path users = dir / "User";
    Fixture() {
        SetLocalTodayOverride([] {  // the user is made on day S + 1, so her file starts at S
            uint32_t y, m, d, w;
            DayCalendar().DayToDate(S + 1, y, m, d, w);
            return LocalDate{y, m, d};
        });
        fs::create_directories(users);
        store.SetDirectory(users);
        EXPECT_TRUE(store.Create("Anna", "pw"));
        EXPECT_TRUE(store.WriteDays("Anna", S, E - S + 1, TaggedRun(S, E - S + 1, 1).data()));
    }
    ~Fixture() {
        ClearFileFaults();
        SetLocalTodayOverride(nullptr);
    }
    std::string Bytes(const std::string& name = "Anna") const { return ReadFile(users / (name + ".usr")); }
    // Opens the directory again, as the next start of the program would.
    void Reopen() {
        ClearFileFaults();
        store.SetDirectory(users);
    }
    bool NoScratchLeft() const {
        for (const auto& e : fs::directory_iterator(users)) {
            const std::string f = e.path().filename().string();
            if (f.find("_bk.") != std::string::npos || f.ends_with(".tmp")) return false;
        }
        return true;
    }
};

struct Change {
    int32_t firstOffset;
    uint32_t count;
};

// The change protocol of every caller: Backup, write, EndBackup.
void RunProtected(UserStore& store, const Change& c) {
    const uint32_t first = uint32_t(int32_t(S) + c.firstOffset);
    if (!store.Backup("Anna")) return;
    const bool ok = store.WriteDays("Anna", first, c.count, TaggedRun(first, c.count, 2).data());
    store.EndBackup("Anna", ok);
}

TEST(StoreSafety, AnyFailingFileOperationInAChangeLeavesBeforeOrAfter) {
    const Change changes[] = {{-2, 25}, {-5, 3}, {-3, 5}, {5, 3}, {19, 5}, {25, 4}};
    for (const Change& c : changes) {
        std::string before, after;
        {
            Fixture f;
            before = f.Bytes();
            RunProtected(f.store, c);
            after = f.Bytes();
            ASSERT_NE(before, after);
        }
        for (FileOp op : kOps) {
            for (uint32_t n = 1; n <= 30; ++n) {
                Fixture f;
                FailNthFileOp(op, n);
                RunProtected(f.store, c);
                f.Reopen();
                const std::string now = f.Bytes();
                EXPECT_TRUE(now == before || now == after)
                    << "change at " << c.firstOffset << ", op " << int(op) << ", failure " << n;
                EXPECT_TRUE(f.NoScratchLeft());
                UserFileHeader h;
                EXPECT_TRUE(f.store.ReadHeader("Anna", h));
            }
        }
    }
}

TEST(StoreSafety, FailedImportExportAndRenameLeaveNothingHalfDone) {
    for (FileOp op : kOps) {
        for (uint32_t n = 1; n <= 12; ++n) {
            Fixture f;
            ASSERT_TRUE(f.store.Create("Bob", ""));
            const std::string anna = f.Bytes(), bob = f.Bytes("Bob");
            const fs::path exported = f.dir / "anna-out.usr";
            ASSERT_TRUE(f.store.ExportFile("Anna", exported));
            const std::string good = ReadFile(exported);
            fs::remove(exported);

            FailNthFileOp(op, n);
            const bool exportOk = f.store.ExportFile("Anna", exported);
            ClearFileFaults();
            if (exportOk)
                EXPECT_EQ(ReadFile(exported), good);
            else
                EXPECT_FALSE(fs::exists(exported)) << "op " << int(op) << " n " << n;
            ASSERT_TRUE(f.store.ExportFile("Anna", exported));

            FailNthFileOp(op, n);
            f.store.ImportFile("Bob", exported);  // over an existing user
            f.Reopen();
            EXPECT_TRUE(f.Bytes("Bob") == bob || f.Bytes("Bob") == anna) << "op " << int(op) << " n " << n;
            EXPECT_TRUE(f.NoScratchLeft());

            FailNthFileOp(op, n);
            const bool renamed = f.store.Rename("Anna", "Hanna", "new");
            f.Reopen();
            UserFileHeader h;
            if (renamed) {
                EXPECT_FALSE(f.store.Exists("Anna"));
                ASSERT_TRUE(f.store.ReadHeader("Hanna", h));
                EXPECT_EQ(HeaderPassword(h), "new");
            } else {
                EXPECT_FALSE(f.store.Exists("Hanna"));
                EXPECT_EQ(f.Bytes("Anna"), anna) << "op " << int(op) << " n " << n;
            }
        }
    }
}

// A change whose restore failed leaves its backup behind, the only whole copy of the user.
TEST(StoreSafety, RenameRestoresAPendingBackupBeforeItRenames) {
    Fixture f;
    const std::string before = f.Bytes();
    ASSERT_TRUE(f.store.Backup("Anna"));
    ASSERT_TRUE(f.store.WriteDays("Anna", S + 3, 2, TaggedRun(S + 3, 2, 2).data()));
    FailNthFileOp(FileOp::Rename, 1);
    ASSERT_FALSE(f.store.EndBackup("Anna", false));

    ASSERT_TRUE(f.store.Rename("Anna", "Hanna", "new"));
    f.Reopen();
    EXPECT_FALSE(f.store.Exists("Anna"));
    UserFileHeader h;
    ASSERT_TRUE(UnpackHeader(reinterpret_cast<const uint8_t*>(before.data()), h));
    ASSERT_TRUE(SetHeaderPassword(h, "new"));
    std::string want = before;
    PackHeader(h, reinterpret_cast<uint8_t*>(want.data()));
    EXPECT_TRUE(f.Bytes("Hanna") == want);
    EXPECT_TRUE(f.NoScratchLeft());
}

TEST(StoreSafety, ADeleteReportedAsDoneStaysDoneWithABackupPending) {
    for (FileOp op : {FileOp::Remove, FileOp::Rename}) {
        for (uint32_t n = 1; n <= 3; ++n) {
            Fixture f;
            const std::string before = f.Bytes();
            ASSERT_TRUE(f.store.Backup("Anna"));
            ASSERT_TRUE(f.store.WriteDays("Anna", S + 3, 2, TaggedRun(S + 3, 2, 2).data()));
            FailNthFileOp(op, n);
            const bool deleted = f.store.Delete("Anna");
            f.Reopen();
            EXPECT_EQ(bool(f.store.Exists("Anna")), !deleted) << "op " << int(op) << " n " << n;
            if (!deleted) {
                EXPECT_TRUE(f.Bytes() == before) << "op " << int(op) << " n " << n;
            }
            EXPECT_TRUE(f.NoScratchLeft());
        }
    }
}

TEST(StoreSafety, AKilledProcessLeavesTheStateBeforeOrAfterTheChangeInFlight) {
    // The child runs change after change until it is killed; change k writes a run
    // tagged k, so the state after every k can be replayed here.
    auto changeOf = [](uint32_t k) {
        return Change{int32_t(k * 13 % 70) - 20, 1 + k % 6};
    };
    std::mt19937 rng(20261207);
    for (int round = 0; round < 25; ++round) {
        Fixture f;
        UserModel model;
        ASSERT_TRUE(f.store.ReadHeader("Anna", model.header));
        model.Write(S, E - S + 1, TaggedRun(S, E - S + 1, 1).data());
        ASSERT_EQ(f.Bytes(), model.Bytes());

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (uint32_t k = 1;; ++k) {
                const Change c = changeOf(k);
                const uint32_t first = uint32_t(int32_t(S) + c.firstOffset);
                if (!f.store.Backup("Anna")) _exit(2);
                const bool ok = f.store.WriteDays("Anna", first, c.count, TaggedRun(first, c.count, k + 1).data());
                if (!f.store.EndBackup("Anna", ok) || !ok) _exit(3);
            }
        }
        usleep(1000 + rng() % 20000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << WEXITSTATUS(status);

        f.Reopen();
        const std::string now = f.Bytes();
        bool matched = now == model.Bytes();
        for (uint32_t k = 1; !matched && k < 200000; ++k) {
            const Change c = changeOf(k);
            const uint32_t first = uint32_t(int32_t(S) + c.firstOffset);
            model.Write(first, c.count, TaggedRun(first, c.count, k + 1).data());
            matched = now == model.Bytes();
        }
        EXPECT_TRUE(matched) << "round " << round << ": the file is no state of the change series";
        EXPECT_TRUE(f.NoScratchLeft());
    }
}

}  // namespace
}  // namespace stepora
