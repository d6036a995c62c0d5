// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TempDir.h"

#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace stepora::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "stepora-test-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) path_ = made;
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ScopedCurrentDir::ScopedCurrentDir(const std::filesystem::path& dir) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

ScopedCurrentDir::~ScopedCurrentDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}

}  // namespace stepora::test
