#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the window tests with STEPORA_UPDATE_SNAPSHOTS=1, so each scenario writes what it
# saw into tests/snapshots/, and shows what changed. Read the diff before committing it:
# every changed line is something a user would see differently.
#
#   scripts/update-snapshots.sh [ctest regex]    BUILD=dir (default build)
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake --build "$BUILD" -j2
STEPORA_UPDATE_SNAPSHOTS=1 QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD" -R "${1:-.}" -j2 --output-on-failure
git status --short tests/snapshots
git --no-pager diff --stat tests/snapshots
