#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Counts the non-blank lines of C++ that are not // comments, in the program (src/ and
# tools/) and in the tests, the two figures the README gives.
set -eu
cd "$(dirname "$0")/.."
count() { git ls-files -z "$@" | xargs -0 cat | grep -v '^\s*$' | grep -cv '^\s*//'; }
code=$(count 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h')
tests=$(count 'tests/*.cpp' 'tests/*.h')
echo "program $code lines, tests $tests lines ($((100 * tests / code)) % of the program)"
