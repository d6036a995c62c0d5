// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every seam of the program is replaced through a setter named Set<Seam>Override that
// takes a function (an empty one restores the real behaviour). A ScopedOverride sets one
// for its lifetime, so a failing test never leaks its replacement into the next.
#include <utility>

#include "store/StoreFile.h"

namespace stepora::test {

template <class Fn>
class ScopedOverride {
public:
    ScopedOverride(void (*set)(Fn), Fn fn) : set_(set) { set_(std::move(fn)); }
    ~ScopedOverride() { set_(Fn{}); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    void (*set_)(Fn);
};

// The store's file faults, cleared again at the end of the scope.
class ScopedFileFaults {
public:
    ScopedFileFaults() = default;
    ~ScopedFileFaults() { ClearFileFaults(); }
    void FailNth(FileOp op, uint32_t n) { FailNthFileOp(op, n); }
    ScopedFileFaults(const ScopedFileFaults&) = delete;
    ScopedFileFaults& operator=(const ScopedFileFaults&) = delete;
};

}  // namespace stepora::test
