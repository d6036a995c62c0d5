#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Imports between the folders of src/ run one way. Each folder may include only the
# folders before it in this order (main.cpp may include any); device/platform only
# device's interfaces and what device may include. Prints every include that runs the
# wrong way and exits non-zero when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
order=(app store widgets accounts csv device device/platform graph mainwnd)
rank() {
    local i
    for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && echo "$i" && return; done
    echo 99
}
bad=0
while IFS= read -r file; do
    from=$(dirname "${file#src/}")
    [ "$from" = "." ] && continue  # main.cpp
    while IFS= read -r inc; do
        to=$(dirname "$inc")
        [ "$to" = "." ] || [ "$to" = "$from" ] && continue
        if [ "$(rank "$to")" -ge "$(rank "$from")" ] || [ "$to" = "device/platform" ]; then
            echo "$file includes $inc"
            bad=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'src/*.cpp' 'src/*.h')
exit $bad
