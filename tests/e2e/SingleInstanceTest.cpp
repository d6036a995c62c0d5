// Starts the real program, as a person would, in a scratch work directory.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"

extern char** environ;

namespace stepora {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

// Generous limits: the sanitizer build starts slowly on a loaded machine.
constexpr auto kStartLimit = 60s;
constexpr auto kExitLimit = 60s;

// A started program; whatever happens in the test, it does not outlive the test.
class Child {
public:
    Child(const std::filesystem::path& program, const std::filesystem::path& workDir,
          const std::map<std::string, std::string>& env, const std::filesystem::path& output) {
        std::vector<std::string> entries;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!env.count(entry.substr(0, entry.find('=')))) entries.push_back(entry);
        }
        for (const auto& [name, value] : env) entries.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (auto& entry : entries) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string path = program.string();
        char* argv[] = {path.data(), nullptr};

        pid_ = fork();
        if (pid_ == 0) {
            int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                dup2(fd, 1);
                dup2(fd, 2);
            }
            if (chdir(workDir.c_str()) == 0) execve(path.c_str(), argv, envp.data());
            _exit(127);
        }
    }
    ~Child() {
        if (Running()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t Pid() const { return pid_; }
    bool Running() {
        if (pid_ <= 0 || ended_) return false;
        if (waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
        return !ended_;
    }
    // Waits until the program has ended; false when it still runs after `limit`.
    bool WaitEnd(std::chrono::milliseconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (Running()) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(10ms);
        }
        return pid_ > 0;
    }
    void Signal(int sig) { kill(pid_, sig); }
    int Status() const { return status_; }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = 0;
};

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(program_)) << program_;
        ASSERT_TRUE(test::WriteScratchLanguages(work_.path()));
        env_ = {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_RUNTIME_DIR", runtime_.path().string()}};
    }
    std::unique_ptr<Child> Start(const std::string& name) {
        return std::make_unique<Child>(program_, work_.path(), env_, logs_ / (name + ".log"));
    }
    // The process that holds the instance lock, or 0.
    pid_t LockOwner() const {
        const std::string text = test::ReadFile(runtime_ / "Pedometer.lock");
        return static_cast<pid_t>(std::atol(text.c_str()));
    }
    // Waits until `child` holds the instance lock, which it takes before its window.
    bool WaitOwnsLock(Child& child) {
        const auto until = std::chrono::steady_clock::now() + kStartLimit;
        while (std::chrono::steady_clock::now() < until && child.Running()) {
            if (LockOwner() == child.Pid()) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    std::string Log(const std::string& name) const { return test::ReadFile(logs_ / (name + ".log")); }

    const std::filesystem::path program_ = std::filesystem::path(STEPORA_BINARY_DIR) / "stepora";
    TempDir work_;
    TempDir runtime_;
    TempDir logs_;
    std::map<std::string, std::string> env_;
};

TEST_F(SingleInstance, SecondInstanceEndsAtOnceWhileTheFirstRuns) {
    auto first = Start("first");
    ASSERT_TRUE(WaitOwnsLock(*first)) << Log("first");

    // Past the check, the second would open its main window and keep running.
    auto second = Start("second");
    ASSERT_TRUE(second->WaitEnd(kExitLimit)) << "the second instance kept running";
    EXPECT_TRUE(WIFEXITED(second->Status())) << second->Status();
    EXPECT_EQ(WEXITSTATUS(second->Status()), 0) << Log("second");
    EXPECT_TRUE(first->Running());
    EXPECT_EQ(LockOwner(), first->Pid());

    first->Signal(SIGTERM);
    ASSERT_TRUE(first->WaitEnd(kExitLimit));
    EXPECT_TRUE(WIFSIGNALED(first->Status()) && WTERMSIG(first->Status()) == SIGTERM);
}

TEST_F(SingleInstance, LockOfAKilledInstanceIsTakenOver) {
    auto first = Start("first");
    ASSERT_TRUE(WaitOwnsLock(*first)) << Log("first");
    first->Signal(SIGKILL);
    ASSERT_TRUE(first->WaitEnd(kExitLimit));
    ASSERT_EQ(LockOwner(), first->Pid());  // left behind by the killed process

    auto next = Start("next");
    EXPECT_TRUE(WaitOwnsLock(*next)) << Log("next");
    EXPECT_TRUE(next->Running());
}

}  // namespace
}  // namespace stepora
