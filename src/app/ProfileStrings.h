// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace stepora {

// INI files with the semantics the program's configuration has always had: section and
// key names match ignoring letter case, the first of duplicate keys wins, a missing
// key or file yields the default, and a write keeps the rest of the file and replaces
// the file atomically (temp file + rename).
std::string GetProfileString(const std::filesystem::path& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue);

// The values of `keys` in `section`, read from one load of the file, in the order of `keys`
// (a missing key gets the default). False, with no values, when the file cannot be read.
bool GetProfileStrings(const std::filesystem::path& file, const std::string& section,
                       std::span<const char* const> keys, const std::string& defaultValue,
                       std::vector<std::string>& values);

// A number that stays the same while `file` is kept parsed and unchanged, and is never
// given again once it changes; 0 while the file is not kept (missing, unreadable, or
// changed too recently for its times to tell the next change). What was read from a file
// may be remembered for as long as the file reports the same nonzero generation.
uint64_t ProfileGeneration(const std::filesystem::path& file);
// While one lives, each file is checked and read at most once, however many values are
// read from it: a run of lookups (the texts of one refresh of a window) sees one version
// of every file, at the cost of one check instead of one per value. A write through this
// file's functions is seen at once. Scopes nest; one thread only, as all of this file.
class ProfileReadScope {
public:
    ProfileReadScope();
    ~ProfileReadScope();
    ProfileReadScope(const ProfileReadScope&) = delete;
    ProfileReadScope& operator=(const ProfileReadScope&) = delete;
};
// Nonzero inside a scope, and the same for as long as what the scope read still holds
// (a write through this file gives a new one); 0 outside every scope.
uint64_t ProfileReadScopeId();
// Fails, leaving the file as it is, for a section, key or value the file could not give
// back as written (line breaks, NUL bytes, blanks around names, a key the file would read
// as a comment or a section), when the folder does not exist, or when the file cannot be
// replaced. The file keeps its line endings.
bool WriteProfileString(const std::filesystem::path& file, const std::string& section,
                        const std::string& key, const std::string& value);
// The same for several keys of one section in one replacement of the file: after a
// power cut the file has all of them or none.
bool WriteProfileStrings(const std::filesystem::path& file, const std::string& section,
                         std::span<const std::pair<std::string, std::string>> values);

// Writes `bytes` to `file` through a temp file in the same folder that is flushed to
// disk and renamed over the target. Nothing half-written is ever left under `file`.
bool WriteFileAtomically(const std::filesystem::path& file, const std::string& bytes);

}  // namespace stepora
