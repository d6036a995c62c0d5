#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Stepora and starts it in ./workdir, which is prepared from data/ the first time.
# Arguments go to the program: ./run.sh --simulate-pedometer pedometer.csv downloads from a
# simulated pedometer holding the demo file that the preparation writes into workdir/.
# Without a display the program runs under Xvfb: once its main window is up, a picture
# of the screen is saved to workdir/screenshot.png and the program is ended.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
stepora_install_deps

die() {
    echo "run.sh: $*" >&2
    exit 1
}

cmake -S . -B build -G Ninja >/dev/null
targets=(stepora)
demo=build/tools/demo-data/stepora-demo-data
if ninja -C build -t targets all 2>/dev/null | grep -q '^stepora-demo-data:'; then
    targets+=(stepora-demo-data)
fi
cmake --build build --target "${targets[@]}" -j "$(nproc 2>/dev/null || echo 2)"

if [ ! -d workdir ]; then
    echo "Preparing workdir from data/"
    mkdir workdir
    if ! cp -R data/. workdir/; then
        rm -rf workdir
        die "could not copy data/ into workdir"
    fi
    if [ -x "$demo" ]; then
        "$demo" workdir || echo "run.sh: the demo users could not be added" >&2
    fi
fi
cd workdir
if [ $# -eq 0 ] && [ -f pedometer.csv ]; then
    echo "To try a download without a pedometer: ./run.sh --simulate-pedometer pedometer.csv"
fi

# The program takes the current directory as its work directory.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ../build/stepora "$@"
fi

xvfb_pid=
app_pid=
display_file=$(mktemp)
stop() {
    if [ -n "$1" ]; then
        kill "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
    fi
}
cleanup() {
    stop "$app_pid"
    stop "$xvfb_pid"
    rm -f "$display_file"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || die "Xvfb did not start"
    sleep 0.1
done
[ -s "$display_file" ] || die "Xvfb did not start within 10 s"
export DISPLAY=":$(head -n 1 "$display_file")"
unset WAYLAND_DISPLAY

QT_QPA_PLATFORM=xcb ../build/stepora "$@" &
app_pid=$!

# Viewable windows of the program, as "id width height" lines.
program_windows() {
    local id size
    xwininfo -root -tree 2>/dev/null |
        awk '/\("stepora" / { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+[+-]/) print $1, $i }' |
        while read -r id size; do
            xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
            size=${size%%[+-]*}
            echo "$id ${size%x*} ${size#*x}"
        done
}
# The main window is far larger than any message box the program can show at start-up.
main_window=
main_window_shown() {
    local id w h
    while read -r id w h; do
        if [ "$w" -ge 400 ] && [ "$h" -ge 250 ]; then
            main_window=$id
            return 0
        fi
    done < <(program_windows)
    return 1
}

shown=
for _ in $(seq 200); do
    kill -0 "$app_pid" 2>/dev/null || break
    if main_window_shown; then
        shown=1
        break
    fi
    sleep 0.1
done
if [ -z "$shown" ]; then
    if ! kill -0 "$app_pid" 2>/dev/null; then
        wait "$app_pid" && status=0 || status=$?
        app_pid=
        die "the program ended (exit code $status) before its main window appeared" \
            "(is another Stepora already running?)"
    fi
    if [ -n "$(program_windows)" ]; then
        import -window root screenshot.png
        die "the program shows a message instead of its main window: see $PWD/screenshot.png"
    fi
    die "the main window did not appear within 20 s"
fi

sleep 1  # let the window finish painting
import -window "$main_window" screenshot.png
echo "Screenshot of the main window: $PWD/screenshot.png"
