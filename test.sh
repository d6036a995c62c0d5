#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Stepora and runs every test, then does the same under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
stepora_install_deps

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== formatting of src/ and tests/ (.clang-format)"
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' | xargs -0 clang-format --dry-run --Werror
echo "== imports between the folders of src/"
scripts/check-includes.sh
echo "== build and test (build/)"
run_suite build
echo "== build and test with sanitizers (build-asan/)"
run_suite build-asan -DSTEPORA_SANITIZE=ON -DSTEPORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
