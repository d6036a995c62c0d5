// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a power cut may leave on disk of a series of file calls.
//
// The model, meant to allow at least what any common file system allows:
// - The cut may fall between any two calls, and no call is half made.
// - A file's data is on disk once the file is synced. Bytes written since may be lost,
//   in whole or in part, in pieces of 512 bytes (aligned to the file, so a write inside
//   one such sector is whole or lost), and each piece independently of the others: later
//   ones may be there while earlier ones are not. A truncation since the last sync is one
//   more such piece.
// - The size of a file is, independently of which pieces reached the disk, its size at
//   its last sync or after any of the later pieces; bytes inside that size that no piece
//   reached read as what was there before, or as zeros beyond the old end.
// - Creating, renaming and removing a name is on disk once its folder is synced. Before
//   that each of them independently may or may not have happened; a rename is atomic
//   (the file has the old name or the new one, never both or neither), and replaces the
//   file that had the new name only when it happened.
// - Nothing else changes: no call of another process, no damaged sector.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/FileTrace.h"

namespace stepora::crash {

using Files = std::map<std::string, std::string>;  // path inside the root → bytes

// One recorded call; paths are relative to the root.
struct Call {
    FileEvent::Kind kind;
    int fd = -1;
    std::string path, to;
    uint64_t offset = 0;
    std::string bytes;
};

// Which of the calls not yet on disk reached it in one crash state.
struct Outcome {
    std::vector<bool> names{};  // per pending name call
    struct Data {
        std::vector<bool> pieces{};
        size_t size = 0;  // the size after this many pieces (0: the size at the last sync)
    };
    std::map<size_t, Data> files{};  // per file with pending pieces; absent: all of them
    std::string how{};               // for a person reading a failure
    bool whole = false;              // everything, or nothing more, on disk
};

class CrashModel {
public:
    explicit CrashModel(const Files& initial);
    // One more call; false (with `error`) when it concerns a file the model cannot follow.
    bool Apply(const Call& call, std::string& error);
    // What the program sees now: every call made and nothing lost.
    Files Current() const;
    Files State(const Outcome& outcome) const;
    // The outcomes after the calls so far: everything and nothing on disk, every subset
    // of the pending name calls (sampled beyond 256), and per file with pending pieces the
    // first n pieces, all but one, and each possible size; then `extra` drawn at random.
    std::vector<Outcome> Outcomes(size_t extra, std::mt19937& random) const;

private:
    struct Piece {
        uint64_t offset;
        std::string bytes;
        bool cut = false;  // a truncation to `offset`
    };
    struct File {
        std::string durable{}, current{};
        std::vector<Piece> pending{};
        std::vector<uint64_t> sizes{};  // sizes[n]: the size after n pending pieces
    };
    struct NameCall {
        FileEvent::Kind kind;
        std::string path, to, folder;
        size_t file;
    };
    static void ApplyName(const NameCall& call, std::map<std::string, size_t>& names);
    void AddPiece(size_t file, Piece piece);
    std::string Contents(size_t file, const Outcome::Data* data) const;
    Outcome Uniform(bool namesOn, bool dataOn, std::string how) const;

    std::vector<File> files_;
    std::map<std::string, size_t> durableNames_, currentNames_;
    std::vector<NameCall> pendingNames_;
    std::map<int, std::optional<size_t>> open_;  // descriptor → file (none: not followed)
};

}  // namespace stepora::crash
