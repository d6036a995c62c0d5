#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the pictures of the user guide: every window of the program, in each shipped
# language, with the demo users and without a pedometer. They land in
# data/doc/images/<en|de|zh>/ and are remade for every release.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
stepora_install_deps

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target stepora-guide-shots stepora-demo-data -j "$(nproc 2>/dev/null || echo 2)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The language numbers follow data/Language/Language.INI.
for entry in 0:en 1:de 2:zh; do
    index=${entry%%:*} lang=${entry#*:}
    rm -rf "$work/dir" && mkdir "$work/dir"
    cp -R data/. "$work/dir/"
    rm -rf "$work/dir/doc/images"
    build/tools/demo-data/stepora-demo-data "$work/dir" >/dev/null
    out="$PWD/data/doc/images/$lang"
    rm -rf "$out"
    # The windows are drawn offscreen, exactly as on a screen but without one.
    (cd "$work/dir" && QT_QPA_PLATFORM=offscreen "$OLDPWD/build/tools/guide-shots/stepora-guide-shots" "$out" "$index") 2>/dev/null
done
echo "Pictures of every window in data/doc/images/"
