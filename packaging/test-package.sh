#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from a build folder, unpacks it into a scratch root and checks
# that every file is where the menu entry, the launcher, the metainfo and udev look for it.
# Usage: test-package.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1
build=$2

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    exit 1
fi
debs=("$tmp"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: cpack made ${#debs[@]} packages" >&2; exit 1; }
deb=${debs[0]}

version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$(basename "$deb")" = "stepora_${version}_${arch}.deb" ] || fail "package name $(basename "$deb")"
[ "$arch" = "$(dpkg --print-architecture)" ] || fail "architecture $arch"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libhidapi-hidraw0 libstdc++6; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

root=$tmp/root
dpkg -x "$deb" "$root"

magic() { od -An -tx1 -N "$2" "$1" 2>/dev/null | tr -d ' \n'; }
# Width and height of a PNG, from its header.
png_size() { od -An -tu1 -j 16 -N 8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }

for p in stepora stepora-probe; do
    [ "$(magic "$root/usr/bin/$p" 4)" = 7f454c46 ] || fail "/usr/bin/$p is not a program"
done

entries=("$root"/usr/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] || fail "${#entries[@]} menu entries"
entry=${entries[0]}
id=$(basename "$entry" .desktop)
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = /usr/bin/stepora-launch ] || fail "Exec=$exec_line"
[ -x "$root$exec_line" ] || fail "Exec names $exec_line, which the package does not install"

icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 48 256; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
    [ "$(magic "$png" 8)" = 89504e470d0a1a0a ] || { fail "no PNG icon at $png"; continue; }
    [ "$(png_size "$png")" = "${size}x$size" ] || fail "$png is $(png_size "$png")"
done

metainfo=$root/usr/share/metainfo/$id.metainfo.xml
if [ -f "$metainfo" ]; then
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $id.desktop"
    first_release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1)
    [ "$first_release" = "<release version=\"$version\"" ] ||
        fail "the newest release in the metainfo is not $version: $first_release"
else
    fail "no metainfo at $metainfo"
fi

grep -q 'ATTRS{idVendor}=="1130"' "$root/lib/udev/rules.d/70-stepora-pedometer.rules" 2>/dev/null ||
    fail "no pedometer rule in /lib/udev/rules.d"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >"$tmp/as.log" 2>&1 || { cat "$tmp/as.log" >&2; fail "appstreamcli validate"; }
fi

for page in stepora stepora-launch stepora-probe; do
    [ "$(magic "$root/usr/share/man/man1/$page.1.gz" 2)" = 1f8b ] || fail "no manual page for $page"
done
for doc in copyright changelog.gz; do
    [ -s "$root/usr/share/doc/stepora/$doc" ] || fail "no /usr/share/doc/stepora/$doc"
done
grep -q fonts-noto-cjk <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "no CJK font recommended"

if command -v lintian >/dev/null; then
    # Errors fail the package; warnings are listed in the README.
    lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 ||
        { cat "$tmp/lintian.log" >&2; fail "lintian reports errors"; }
fi

# The installed program itself, started as the menu entry starts it (through the
# launcher) in a fresh home: it makes its User folder and opens its window, which is
# there while the program keeps running.
home=$tmp/home
mkdir "$home"
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME="$home" XDG_RUNTIME_DIR="$tmp" \
    QT_QPA_PLATFORM=offscreen "$root$exec_line" >"$tmp/run.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
    [ -d "$home/.local/share/stepora/User" ] && break
    sleep 0.1
done
sleep 0.5
if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
else
    fail "the installed program ended: $(cat "$tmp/run.log")"
fi
wait "$pid" 2>/dev/null || true
[ -d "$home/.local/share/stepora/User" ] || fail "the installed program made no User folder"
# The first user, made, listed and logged in on the installed template.
ui_tests=$build/tests/ui/shell_ui_tests
if [ -x "$ui_tests" ]; then
    STEPORA_TEMPLATE_DIR=$root/usr/share/stepora/template QT_QPA_PLATFORM=offscreen \
        "$ui_tests" --gtest_filter='*TheFirstStartFromTheShippedTemplate*' >"$tmp/ui.log" 2>&1 ||
        { cat "$tmp/ui.log" >&2; fail "the first user cannot be made on the installed template"; }
fi

# The launcher run from the unpacked root finds the template there.
cat >"$root/usr/bin/stepora" <<'EOF'
#!/bin/sh
pwd >"$STUB_LOG"
EOF
env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$tmp/xdg" STUB_LOG="$tmp/stub.log" \
    "$root$exec_line" 2>"$tmp/err" || fail "the launcher failed: $(cat "$tmp/err")"
[ "$(cat "$tmp/stub.log" 2>/dev/null)" = "$tmp/xdg/stepora" ] || fail "the program did not start in the work directory"
diff -r -x .stepora-version "$root/usr/share/stepora/template" "$tmp/xdg/stepora" >&2 ||
    fail "the work directory is not the packaged template"

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): all checks passed"
