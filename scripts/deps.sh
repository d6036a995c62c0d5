#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and run.sh need; does nothing when
# they are all present. Sourced by run.sh and test.sh.
stepora_install_deps() {
    local wanted=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libhidapi-dev
                  libsimpleini-dev libudev-dev libgtest-dev libgmock-dev libbenchmark-dev
                  xvfb xauth x11-utils imagemagick clang-format fonts-noto-cjk
                  dpkg-dev desktop-file-utils appstream lintian qt6-translations-l10n
                  "$@")
    local missing=()
    local p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
}
