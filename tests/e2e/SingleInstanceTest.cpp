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
    while (!done() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

// A started program; whatever happens in the test, it does not outlive the test. What it
// says goes to "log" in the runtime folder; without `display` it has none.
struct Child {
    Child(const test::TempDir& work, const test::TempDir& runtime, const char* argument = nullptr, bool display = true) {
        const std::string program = STEPORA_BINARY_DIR "/stepora", log = (runtime / "log").string();
        if ((pid = fork()) != 0) return;
        unsetenv("DISPLAY"), unsetenv("WAYLAND_DISPLAY");
        display ? setenv("QT_QPA_PLATFORM", "offscreen", 1) : unsetenv("QT_QPA_PLATFORM");
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        if (freopen(log.c_str(), "w", stdout) && dup2(1, 2) == 2 && chdir(work.path().c_str()) == 0)
            execl(program.c_str(), program.c_str(), argument, nullptr);
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
        return Within([&] { return LockOwner() == child.pid || !child.Running(); }) && LockOwner() == child.pid;
    }
    test::TempDir work_, runtime_;
};

TEST_F(SingleInstance, ASecondInstanceEndsAtOnceAndAKilledOnesLockIsTakenOver) {
    Child first(work_, runtime_);
    ASSERT_TRUE(OwnsLock(first)) << test::ReadFile(runtime_ / "log");
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
    EXPECT_TRUE(OwnsLock(next)) << test::ReadFile(runtime_ / "log");
    EXPECT_TRUE(next.Running());
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
        const test::TempDir dir, runtime;
        Child child(dir, runtime, c.argument, false);
        ASSERT_TRUE(Within([&] { return !child.Running(); }));
        const std::string said = test::ReadFile(runtime / "log");
        EXPECT_TRUE(WIFEXITED(child.status) && WEXITSTATUS(child.status) == c.status) << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << c.argument;
    }
}

// Broken language files end the start with a message that names the file and the key.
TEST_F(SingleInstance, BrokenLanguageFilesAreNamedWithTheMissingKey) {
    ASSERT_TRUE(test::WriteScratchLanguages(work_.path(), "de.ini") &&
                test::WriteFile(work_ / "Language" / "de.ini", "[LanguageString]\nMENU_TITLE_FILE=Datei\n"));
    Child child(work_, runtime_);
    const std::string said = "Language/de.ini: there is no text for MENU_TITLE_USER";
    EXPECT_TRUE(Within([&] { return test::ReadFile(runtime_ / "log").find(said) != std::string::npos; }));
}

}  // namespace
}  // namespace stepora
