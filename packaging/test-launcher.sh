#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and runs stepora-launch there against scratch
# home folders, with a stub in place of the program that records where and how it was
# started, and a stub zenity that records the message boxes.
# Usage: test-launcher.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
template=$prefix/share/stepora/template
version=$(sed -n "s/^version='\(.*\)'$/\1/p" "$prefix/bin/stepora-launch")
[ -n "$version" ] || fail "no version in the launcher"

# The stub ends with the status written in stub.log.rc, once.
cat >"$prefix/bin/stepora" <<'EOF'
#!/bin/sh
{ pwd; for a in "$@"; do printf '%s\n' "$a"; done; } >>"$STUB_LOG"
[ -f "$STUB_LOG.rc" ] || exit 0
rc=$(cat "$STUB_LOG.rc") && rm -f "$STUB_LOG.rc" && exit "$rc"
EOF
mkdir "$tmp/fakebin"
cat >"$tmp/fakebin/zenity" <<'EOF'
#!/bin/sh
printf '%s\n' "$@" >>"$BOX_LOG"
exit "${ZENITY_ANSWER:-0}"
EOF
chmod +x "$prefix/bin/stepora" "$tmp/fakebin/zenity"

# launch XDG_DATA_HOME [ARG…]: runs the launcher (an empty XDG_DATA_HOME leaves it unset);
# sets rc, err (standard error), ran (the stub's record) and box (the message boxes).
launch() {
    local xdg=$1
    shift
    rm -f "$tmp/stub.log" "$tmp/box.log"
    rc=0
    env -u XDG_DATA_HOME -u WAYLAND_DISPLAY ${xdg:+XDG_DATA_HOME="$xdg"} HOME="$tmp/home" \
        DISPLAY=:stub PATH="$tmp/fakebin:$PATH" STUB_LOG="$tmp/stub.log" BOX_LOG="$tmp/box.log" \
        "$prefix/bin/stepora-launch" "$@" 2>"$tmp/err" || rc=$?
    err=$(cat "$tmp/err")
    ran=$(cat "$tmp/stub.log" 2>/dev/null || true)
    box=$(cat "$tmp/box.log" 2>/dev/null || true)
}

same_as_template() {  # WORKDIR FILE…: each file equals the template's
    local dir=$1 f
    shift
    for f in "$@"; do cmp -s "$template/$f" "$dir/$f" || fail "$dir/$f differs from the template"; done
}

# First start: the default place, the whole template, the arguments passed on.
work=$tmp/home/.local/share/stepora
launch "" --simulate-pedometer "a file.csv"
[ "$rc" -eq 0 ] || fail "first start ended with $rc: $err"
[ "$ran" = "$(printf '%s\n' "$work" --simulate-pedometer "a file.csv")" ] ||
    fail "first start ran the program as: $ran"
diff -r -x .stepora-version "$template" "$work" >/dev/null || fail "first start: the work directory is not the template"
[ "$(cat "$work/.stepora-version" 2>/dev/null)" = "$version" ] || fail "first start wrote no version stamp"

# Second start, same version: the user's files stay as they are, missing folders come back.
echo "[Settings]" >"$work/config.ini"
mkdir -p "$work/User" && echo days >"$work/User/Ann.usr"
echo "edited" >>"$work/doc/UserGuide.html"
rm -r "$work/Language" "$work/Ptn/APPTitle.ico"
launch "$tmp/home/.local/share"
[ "$rc" -eq 0 ] && [ "$(head -n 1 <<<"$ran")" = "$work" ] || fail "second start: rc $rc, ran: $ran $err"
[ "$(cat "$work/config.ini")" = "[Settings]" ] && [ "$(cat "$work/User/Ann.usr")" = days ] ||
    fail "second start changed config.ini or User/"
tail -n 1 "$work/doc/UserGuide.html" | grep -qx edited || fail "second start replaced a file of the same version"
same_as_template "$work" Language/Language.INI Language/English.ini Language/Deutsch.ini Ptn/APPTitle.ico

# Upgrade: a newer template adds a language; the language files and the guide are
# replaced, Language.INI lists the template's languages and keeps a choice still listed.
cp "$template/Language/English.ini" "$template/Language/Francais.ini"
printf 'LanguageFile_3=Francais.ini\nLanguageKeys_3=Francais\n' >"$tmp/more"
sed -i "/^LanguageKeys_2=/r $tmp/more" "$template/Language/Language.INI"
echo "<!-- new -->" >>"$template/doc/UserGuide.html"
template_choice=$(sed -n 's/^file=//p' "$template/Language/Language.INI")
#    user's [CurrentLanguage] (CRLF lines)    choice afterwards
while IFS='|' read -r user_choice want; do
    printf '[LanguageList]\r\nLanguageFile_1=English.ini\r\n[currentLANGUAGE]\r\n%s\r\n' \
        "$user_choice" >"$work/Language/Language.INI"
    echo "my own text" >"$work/Language/English.ini"
    echo "0.9" >"$work/.stepora-version"
    launch "$tmp/home/.local/share"
    [ "$rc" -eq 0 ] || fail "upgrade ($user_choice): rc $rc: $err"
    grep -v '^file=' "$work/Language/Language.INI" >"$tmp/got"
    grep -v '^file=' "$template/Language/Language.INI" >"$tmp/want"
    cmp -s "$tmp/got" "$tmp/want" || fail "upgrade ($user_choice): Language.INI is not the template's list"
    got=$(sed -n 's/^file=//p' "$work/Language/Language.INI")
    [ "$got" = "$want" ] || fail "upgrade ($user_choice): the choice is '$got', not '$want'"
    same_as_template "$work" Language/English.ini Language/Francais.ini doc/UserGuide.html
    [ "$(cat "$work/config.ini")" = "[Settings]" ] && [ "$(cat "$work/User/Ann.usr")" = days ] ||
        fail "upgrade changed config.ini or User/"
    [ "$(cat "$work/.stepora-version")" = "$version" ] || fail "upgrade left the old version stamp"
done <<EOF
File = Deutsch.ini|Deutsch.ini
file="Francais.ini"|Francais.ini
file=Klingon.ini|$template_choice
EOF

# Damaged language files (the program ends with 3): on Yes the shipped ones come back and
# the program starts again; on No nothing changes and the launcher ends with 3.
for answer in 0 1; do
    echo "[LanguageString]" >"$work/Language/Deutsch.ini"
    echo 3 >"$tmp/stub.log.rc"
    export ZENITY_ANSWER=$answer
    launch "$tmp/home/.local/share" --x
    starts=$(grep -c -x -- --x <<<"$ran" || true)
    grep -q -- "--question" <<<"$box" || fail "damaged languages: no question asked: $box"
    if [ "$answer" = 0 ]; then
        [ "$rc" -eq 0 ] && [ "$starts" -eq 2 ] || fail "restore: rc $rc, started $starts times: $err"
        same_as_template "$work" Language/Deutsch.ini
    else
        [ "$rc" -eq 3 ] && [ "$starts" -eq 1 ] || fail "no restore: rc $rc, started $starts times"
        [ "$(cat "$work/Language/Deutsch.ini")" = "[LanguageString]" ] || fail "restored without a Yes"
    fi
    [ "$(cat "$work/config.ini")" = "[Settings]" ] && [ "$(cat "$work/User/Ann.usr")" = days ] ||
        fail "the restore changed config.ini or User/"
done
unset ZENITY_ANSWER

# Places that cannot hold the work directory, even for root: the start fails, says why
# on standard error and in a message box, and the program is not started.
echo "a file" >"$tmp/plainfile"
mkdir -p "$tmp/blocked/stepora" && echo "a file" >"$tmp/blocked/stepora/Language"
while IFS='|' read -r xdg why; do
    launch "$xdg"
    [ "$rc" -ne 0 ] || fail "$xdg: the launcher succeeded"
    [ -z "$ran" ] || fail "$xdg: the program was started"
    grep -q "^stepora-launch: .*$xdg/stepora.*$why" <<<"$err" || fail "$xdg: standard error says: $err"
    grep -q "$why" <<<"$box" || fail "$xdg: no message box, or it says: $box"
done <<EOF
$tmp/plainfile|Not a directory
/proc/stepora-test|cannot be created
$tmp/blocked|cannot be completed
EOF

# A full disk (a small tmpfs, where this may mount one): the start fails and leaves no
# half-written file that a later start would take for the user's own.
mkdir "$tmp/full"
rc=99
out=
if unshare -m true 2>/dev/null; then
    rc=0
    out=$(unshare -m sh -c '
        mount -t tmpfs -o size=48k none "$1" 2>/dev/null || exit 99
        XDG_DATA_HOME=$1 "$2" 2>/dev/null && echo "the launcher succeeded"
        cd "$1/stepora" && find . -type f ! -name .stepora-version | while IFS= read -r f; do
            cmp -s "$3/$f" "$f" || echo "half-written $f"
        done' sh "$tmp/full" "$prefix/bin/stepora-launch" "$template" 2>&1) || rc=$?
fi
if [ "$rc" -eq 99 ]; then
    echo "launcher: no tmpfs could be mounted, the full disk is not tried"
elif [ -n "$out" ]; then
    fail "full disk: $out"
fi

[ "$failures" -eq 0 ] || exit 1
echo "launcher: all checks passed"
