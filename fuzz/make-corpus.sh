#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the seed inputs of the fuzz targets into fuzz/<folder>/corpus/<target>/ with the
# program's own writers. Run it again whenever a file format changes, and commit the result.
#   fuzz/make-corpus.sh [build folder]   (default: build-core, configured without the UI)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-core}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DSTEPORA_BUILD_UI=OFF -DSTEPORA_BUILD_BENCH=OFF
fi
cmake --build "$build" --target stepora-fuzz-corpus
rm -rf "$root"/fuzz/*/corpus
"$build/tools/fuzz-corpus/stepora-fuzz-corpus" "$root"
find "$root/fuzz" -path '*/corpus/*' -type f | sort | sed "s|^$root/||"
