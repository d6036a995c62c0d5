// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProfileStrings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "support/TempDir.h"

// Every fsync of this program passes here, so that a test can fail the next one as a
// failing disk would.
static bool g_failNextSync = false;
extern "C" int fsync(int fd) {
    if (std::exchange(g_failNextSync, false)) {
        errno = EIO;
        return -1;
    }
    return int(syscall(SYS_fsync, fd));
}

namespace stepora {
namespace {

using namespace std::string_literals;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(ProfileStrings, ReadsAsTheProgramExpects) {
    const struct {
        std::string file, section, key, expected;
    } cases[] = {
        {"[A]\nk=1\n", "B", "k", "NULL"},
        {"[A]\nk=1\n", "A", "j", "NULL"},
        {"[Lang]\nKey=v\n", "LANG", "key", "v"},  // names ignore case
        {"[A]\nk=first\nk=second\n", "A", "k", "first"},
        {"[A]\r\n  k  =  v w  \r\n", "A", "k", "v w"},
        {"[A]\nk=\"quoted\"\n", "A", "k", "quoted"},
        {"[A]\n;k=1\nk=\xff\xfe\x80x\n", "A", "k", "\xff\xfe\x80x"},
        {"\x01\x02garbage\n\n=\n[[[\n", "A", "k", "NULL"},
        {"[A]\nk=" + std::string(100000, 'x') + "\n", "A", "k", std::string(100000, 'x')},
    };
    TempDir dir;
    EXPECT_EQ(GetProfileString(dir / "missing.ini", "A", "k", "NULL"), "NULL");
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFile(dir / "t.ini", c.file));
        EXPECT_EQ(GetProfileString(dir / "t.ini", c.section, c.key, "NULL"), c.expected) << c.file.substr(0, 40);
    }
}

// A write replaces the file by a whole new one, keeping the rest of it and its CR LF
// line ends, and every value reads back exactly.
TEST(ProfileStrings, WriteKeepsTheRestAndValuesReadBackExactly) {
    TempDir dir;
    const auto file = dir / "c.ini";
    ASSERT_TRUE(WriteFile(file, "; settings\r\n[Other]\r\nx=1\r\n[A]\r\nk=old\r\n"));
    for (const std::string value : {"new", " padded ", "\ttab", "\"quoted\"", "'single'", "\"", "", "a \"b\" c"}) {
        ASSERT_TRUE(WriteProfileString(file, "a", "K", value) && WriteProfileString(file, "B", "other key", value));
        EXPECT_EQ(GetProfileString(file, "A", "k", "NULL"), value);
        EXPECT_EQ(GetProfileString(file, "B", "other key", "NULL"), value);
        const std::string bytes = ReadFile(file);
        for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << bytes;
    }
    EXPECT_EQ(ReadFile(file).find("; settings\r\n"), 0u);
    EXPECT_EQ(GetProfileString(file, "Other", "x", ""), "1");
    ASSERT_TRUE(WriteProfileString(dir / "fresh.ini", "S", "k", "v"));
    EXPECT_EQ(GetProfileString(dir / "fresh.ini", "S", "k", ""), "v");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temp files
}

// What a write could not store so that it reads back is refused, and the file stays as it was.
TEST(ProfileStrings, WriteRefusesWhatWouldNotReadBackOrReachTheDisk) {
    const struct {
        std::string section, key, value;
    } refused[] = {
        {"A", "k", "two\nlines"}, {"A", "k", "cr\rhere"}, {"A", "k", "cut\0off"s}, {"A\n[B]", "k", "v"},
        {"A]B", "k", "v"},        {"A\0B"s, "k", "v"},    {" A", "k", "v"},        {"A\t", "k", "v"},
        {"", "k", "v"},           {"A", "", "v"},         {"A", "k=x", "v"},       {"A", "[Sec]", "v"},
        {"A", ";k", "v"},         {"A", "#k", "v"},       {"A", " k", "v"},        {"A", "k\0x"s, "v"},
    };
    TempDir dir;
    const auto file = dir / "c.ini";
    ASSERT_TRUE(WriteProfileString(file, "A", "k", "v"));
    const std::string before = ReadFile(file);
    for (const auto& r : refused)
        EXPECT_FALSE(WriteProfileString(file, r.section, r.key, r.value)) << r.section << "|" << r.key << "|" << r.value;
    g_failNextSync = true;
    EXPECT_FALSE(WriteProfileString(file, "A", "k", "w"));
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_FALSE(WriteProfileString(dir / "no" / "dir.ini", "A", "k", "v"));
    std::filesystem::create_directories(dir / "folder.ini");  // a folder or a FIFO reads as missing
    ASSERT_EQ(mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    // The parser stops at a NUL byte: writing back what it read would drop the rest.
    ASSERT_TRUE(WriteFile(dir / "nul.ini", "[A]\nk=v\0\n[B]\nkept=1\n"s));
    for (const char* name : {"folder.ini", "fifo.ini", "nul.ini"}) {
        EXPECT_EQ(GetProfileString(dir / name, "B", "kept", "NULL"), "NULL");
        EXPECT_FALSE(WriteProfileString(dir / name, "A", "k", "w")) << name;
    }
    EXPECT_EQ(ReadFile(dir / "nul.ini"), "[A]\nk=v\0\n[B]\nkept=1\n"s);
}

// Parsed files are kept between reads only once they are old enough that an edit within
// the same clock tick cannot go unseen.
TEST(ProfileStrings, AnEditShowsOnTheNextRead) {
    TempDir dir;
    const auto file = dir / "lang.ini";
    for (const bool old : {false, true}) {
        ASSERT_TRUE(WriteFile(file, "[S]\nk=aaaa\n"));
        if (old) std::this_thread::sleep_for(std::chrono::milliseconds(2200));
        EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "aaaa");
        EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "aaaa");
        ASSERT_TRUE(WriteFile(file, "[S]\nk=bbbb\n"));  // same size
        EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "bbbb");
    }
    std::filesystem::remove(file);
    EXPECT_EQ(GetProfileString(file, "S", "k", "NULL"), "NULL");
}

}  // namespace
}  // namespace stepora
