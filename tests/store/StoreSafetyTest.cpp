// SPDX-License-Identifier: GPL-3.0-or-later
// Every failure inside a change, and a kill at any moment, must leave the store exactly in
// the state before or after the change.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <random>

#include "store/StoreTestSupport.h"

namespace stepora {
namespace {

using namespace test;

struct Change {
    uint32_t first, count;
};
// Change k of a long series, somewhere before, over or after the stored days.
Change ChangeOf(uint32_t k) {
    return {S - 20 + k * 13 % 70, 1 + k % 6};
}

// A change as every caller makes one.
bool RunChange(UserStore& store, Change c, uint32_t tag) {
    StoreChange change(store, "Anna");
    return change && store.WriteDays("Anna", c.first, c.count, TaggedRun(c.first, c.count, tag).data()) && change.Commit();
}

TEST(StoreSafety, AnyFailingFileOperationLeavesTheStateBeforeOrThatReportedAsDone) {
    std::vector<std::function<bool(StoreDir&)>> operations;
    // Over all, before with a gap, over the front, inside, over the end, after with a gap.
    for (const Change c : {Change{S - 2, 25}, {S - 5, 3}, {S - 3, 5}, {S + 5, 3}, {S + 19, 5}, {S + 25, 4}})
        operations.push_back([c](StoreDir& f) { return RunChange(f.store, c, 2); });
    operations.push_back([](StoreDir& f) { return f.store.ImportFile("Anna", f.dir / "bob.exp"); });
    operations.push_back([](StoreDir& f) { return f.store.ExportFile("Anna", f.users / "Out.usr"); });
    operations.push_back([](StoreDir& f) { return f.store.Rename("Anna", "Hanna", "new"); });
    operations.push_back([](StoreDir& f) { return f.store.Rename("Anna", "Anna", "new"); });
    operations.push_back([](StoreDir& f) { return f.store.Create("Zed", "pw"); });
    operations.push_back([](StoreDir& f) {  // a delete with a change pending
        return f.store.Backup("Anna") && f.store.WriteDays("Anna", S, 2, TaggedRun(S, 2, 2).data()) && f.store.Delete("Anna");
    });
    auto prepare = [](StoreDir& f) {
        f.MakeAnna();
        ASSERT_TRUE(f.store.Create("Bob", "") && f.store.ExportFile("Bob", f.dir / "bob.exp"));
    };
    for (size_t i = 0; i < operations.size(); ++i) {
        StoreDir clean;
        prepare(clean);
        const auto before = clean.Files();
        ASSERT_TRUE(operations[i](clean));
        const auto after = clean.Files();
        for (FileOp op :
             {FileOp::Open, FileOp::Read, FileOp::Write, FileOp::Seek, FileOp::Rename, FileOp::Remove, FileOp::Sync}) {
            for (uint32_t n = 1; n <= 30; ++n) {
                SCOPED_TRACE(testing::Message() << "operation " << i << ", op " << int(op) << ", failure " << n);
                StoreDir f;
                prepare(f);
                FailNthFileOp(op, n);
                const bool done = operations[i](f);
                f.Reopen();
                const auto now = f.Files();
                EXPECT_TRUE(now == after || (!done && now == before));
            }
        }
    }
}

TEST(StoreSafety, AKilledProcessLeavesTheStateBeforeOrAfterTheChangeInFlight) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 25; ++round) {
        StoreDir f;
        UserModel model = f.MakeAnna();

        // The child runs change after change until it is killed.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (uint32_t k = 1;; ++k)
                if (!RunChange(f.store, ChangeOf(k), k + 1)) _exit(3);
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
            const Change c = ChangeOf(k);
            model.Write(c.first, c.count, TaggedRun(c.first, c.count, k + 1).data());
            matched = now == model.Bytes();
        }
        EXPECT_TRUE(matched) << "round " << round << ": the file is no state of the change series";
        EXPECT_EQ(f.Files().size(), 1u);
    }
}

}  // namespace
}  // namespace stepora
