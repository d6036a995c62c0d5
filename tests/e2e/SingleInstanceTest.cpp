// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the real program, as a person would, in a scratch work directory.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"

namespace stepora {
namespace {

// Polls `done` for at most a minute (a sanitizer build starts slowly on a loaded machine).
bool Within(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

// A started program; whatever happens in the test, it does not outlive the test.
struct Child {
    Child(const test::TempDir& work, const test::TempDir& runtime) {
        const std::string program = STEPORA_BINARY_DIR "/stepora", log = (work / "log").string();
        if ((pid = fork()) != 0) return;
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        if (freopen(log.c_str(), "w", stdout) && dup2(1, 2) == 2 && chdir(work.path().c_str()) == 0)
            execl(program.c_str(), program.c_str(), nullptr);
        _exit(127);
    }
    ~Child() {
        if (Running()) kill(pid, SIGKILL), waitpid(pid, &status, 0);
    }
    bool Running() { return !ended && !(ended = waitpid(pid, &status, WNOHANG) == pid); }
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
};

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::WriteScratchLanguages(work_.path())); }
    // The process that holds the instance lock, or 0.
    pid_t LockOwner() const { return std::atol(test::ReadFile(runtime_ / "Pedometer.lock").c_str()); }
    // Waits until `child` holds the instance lock, which it takes before its window.
    bool OwnsLock(Child& child) {
        return Within([&] { return LockOwner() == child.pid || !child.Running(); }) &&
               LockOwner() == child.pid;
    }
    test::TempDir work_, runtime_;
};

TEST_F(SingleInstance, ASecondInstanceEndsAtOnceAndAKilledOnesLockIsTakenOver) {
    Child first(work_, runtime_);
    ASSERT_TRUE(OwnsLock(first)) << test::ReadFile(work_ / "log");
    // Past the check, the second would open its main window and keep running.
    Child second(work_, runtime_);
    ASSERT_TRUE(Within([&] { return !second.Running(); })) << "the second instance kept running";
    EXPECT_TRUE(WIFEXITED(second.status) && WEXITSTATUS(second.status) == 0) << second.status;
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(LockOwner(), first.pid);

    kill(first.pid, SIGKILL);
    ASSERT_TRUE(Within([&] { return !first.Running(); }));
    ASSERT_EQ(LockOwner(), first.pid);  // left behind by the killed process
    Child next(work_, runtime_);
    EXPECT_TRUE(OwnsLock(next)) << test::ReadFile(work_ / "log");
    EXPECT_TRUE(next.Running());
}

// Runs the program to its end in `dir` without a display; what it said and its exit status.
std::pair<std::string, int> RunToEnd(const test::TempDir& dir, const char* argument) {
    const test::TempDir logs;
    const std::string program = STEPORA_BINARY_DIR "/stepora", log = (logs / "log").string();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
        if (freopen(log.c_str(), "w", stdout) && dup2(1, 2) == 2 && chdir(dir.path().c_str()) == 0)
            execl(program.c_str(), program.c_str(), argument, nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {test::ReadFile(logs / "log"), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Typed in a terminal: help and version need no display, and outside a work directory
// the program says how to start it and makes nothing there.
TEST(CommandLine, AnswersWithoutADisplayAndMakesNothingOutsideAWorkDirectory) {
    const struct {
        const char* argument;
        int status;
        const char* said;
    } cases[] = {
        {"--help", 0, "--simulate-pedometer <file>"},
        {"--version", 0, "stepora " STEPORA_VERSION "\n"},
        {nullptr, 1, "Language/Language.INI is missing.\nStart Stepora from the desktop menu or with stepora-launch"},
    };
    for (const auto& c : cases) {
        const test::TempDir dir;
        const auto [said, status] = RunToEnd(dir, c.argument);
        EXPECT_EQ(status, c.status) << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << c.argument;
    }
}

// Broken language files end the start with a message that names the file and the key.
TEST_F(SingleInstance, BrokenLanguageFilesAreNamedWithTheMissingKey) {
    ASSERT_TRUE(test::WriteScratchLanguages(work_.path(), "de.ini") &&
                test::WriteFile(work_ / "Language" / "de.ini", "[LanguageString]\nMENU_TITLE_FILE=Datei\n"));
    Child child(work_, runtime_);
    EXPECT_TRUE(Within([&] {
        return test::ReadFile(work_ / "log").find("Language/de.ini: there is no text for MENU_TITLE_USER") !=
               std::string::npos;
    })) << test::ReadFile(work_ / "log");
}

}  // namespace
}  // namespace stepora
