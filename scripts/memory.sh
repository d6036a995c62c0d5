#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the memory of the real program, driven by the keyboard under Xvfb, in a scratch
# work directory made from data/ and filled with 1,000 users by stepora-many-users (one of
# them, Century, has 100 years of days and opens its graph window in All mode):
#
#   startup_peak_kb          VmHWM once the main window is up with its list filled
#   graph_all_peak_kb        VmHWM once Century's graph window is up in All mode
#   cycles_rss_kb_after_10   VmRSS after 10 openings and closings of that window
#   cycles_rss_kb_after_100  VmRSS after 100 of them
#   leaks                    allocations LeakSanitizer reports at the end of the same 100
#                            cycles run by the sanitizer build (which is then quit with
#                            Ctrl+Q, as a person quits it)
#
# The five lines go to standard output, progress to standard error. Exits non-zero when a
# peak is above 80 MB, when the resident size grew from cycle 10 to cycle 100 by more
# than RSS_TOLERANCE_KB, or when anything leaked. The tolerance, 512 kB by default, is
# the allocator's noise (60-90 kB over those 90 cycles) with room to spare; a cycle that
# keeps 6 kB or more exceeds it, and what is smaller and lost is LeakSanitizer's to find.
# Leaks inside the system libraries below Qt are suppressed with the tests'
# tests/lsan.supp, and the suppressions used are printed.
#
# BUILD=dir (default build/) holds the release build and ASAN_BUILD=dir (default
# build-asan/) the sanitizer build; the script configures and builds what it needs, the
# sanitizer build as test.sh does. CYCLES=n changes the 100 (at least 10; the fourth
# line is then cycles_rss_kb_after_n). It takes about a minute once both are built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
asan_build=${ASAN_BUILD:-$root/build-asan}
# The program runs in a scratch folder: folders given relative to here are made absolute.
case $build in /*) ;; *) build=$PWD/$build ;; esac
case $asan_build in /*) ;; *) asan_build=$PWD/$asan_build ;; esac
cycles=${CYCLES:-100}
tolerance_kb=${RSS_TOLERANCE_KB:-512}
limit_kb=81920
wait_seconds=60  # the longest any one step may take, also under the sanitizers

say() { echo "memory.sh: $*" >&2; }
die() {
    say "$*"
    exit 2
}
[ "$cycles" -ge 10 ] 2>/dev/null || die "CYCLES must be a number of at least 10"
for tool in Xvfb xdotool cmake; do
    command -v "$tool" >/dev/null || die "$tool is missing"
done

# --- builds ---
jobs=$(nproc 2>/dev/null || echo 2)
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja >&2
fi
say "building stepora and stepora-many-users in $build"
cmake --build "$build" --target stepora stepora-many-users -j "$jobs" >&2
if [ ! -f "$asan_build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$asan_build" -G Ninja -DSTEPORA_SANITIZE=ON -DSTEPORA_BUILD_BENCH=OFF \
        -DCMAKE_BUILD_TYPE=Debug >&2
fi
say "building stepora in $asan_build"
cmake --build "$asan_build" --target stepora -j "$jobs" >&2

# --- the scratch work directory, display and clean-up ---
scratch=$(mktemp -d)
app_pid=
app_log=
xvfb_pid=
stop() {
    if [ -n "$1" ] && kill -0 "$1" 2>/dev/null; then
        kill "$1" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$1" 2>/dev/null || true
    fi
    wait "$1" 2>/dev/null || true
}
cleanup() {
    stop "$app_pid"
    stop "$xvfb_pid"
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

work=$scratch/work
mkdir -p "$work" "$scratch/runtime"
chmod 700 "$scratch/runtime"
cp -R "$root/data/." "$work/"
say "making 1000 users in a scratch work directory"
century=$("$build/tools/many-users/stepora-many-users" "$work" 1000) ||
    die "stepora-many-users failed"

# -noreset: the server stays up between the two programs (a reset as the first ends
# refuses the second's connection).
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || die "Xvfb did not start"
    sleep 0.1
done
[ -s "$scratch/display" ] || die "Xvfb did not start within 10 s"
DISPLAY=":$(head -n 1 "$scratch/display")"
export DISPLAY
unset WAYLAND_DISPLAY

# The window titles, as the English language file has them.
title() { sed -n "s/^$1=//p" "$root/data/Language/English.ini" | tr -d '\r'; }
main_title=$(title MAINMENU_TITLE)
graph_title=$(title USEGRAPH_STR1)
if [ -z "$main_title" ] || [ -z "$graph_title" ]; then die "window titles not found"; fi

# --- the program ---
# Starts `binary` in the work directory, in English, with its own runtime folder (so a
# Stepora the desktop user has open does not keep it from starting).
start_program() {
    local binary=$1
    app_log=$2
    (cd "$work" && exec env LC_ALL=C.UTF-8 LANG=C.UTF-8 QT_QPA_PLATFORM=xcb \
        XDG_RUNTIME_DIR="$scratch/runtime" "$binary" >"$app_log" 2>&1) &
    app_pid=$!
}

# The program's visible window of this title, if there is one.
visible_window() {
    xdotool search --all --onlyvisible --pid "$app_pid" --name "^$1\$" 2>/dev/null | head -n 1
}
running() { kill -0 "$app_pid" 2>/dev/null; }

# Polls `condition` every 20 ms until it holds; fails after `seconds`.
poll() {
    local seconds=$1
    shift
    local until=$((SECONDS + seconds))
    while ! "$@"; do
        running || die "the program ended unexpectedly; it said:"$'\n'"$(tail -n 60 "$app_log")"
        [ "$SECONDS" -lt "$until" ] || return 1
        sleep 0.02
    done
}
shown() { [ -n "$(visible_window "$1")" ]; }
gone() { [ -z "$(visible_window "$1")" ]; }

status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$app_pid/status"; }

# Waits until the peak stops rising (unchanged over 10 readings 50 ms apart): what the
# window does right after it appears (its first paint) counts too.
settle() {
    local last=-1 same=0 now until=$((SECONDS + wait_seconds))
    while [ "$same" -lt 10 ]; do
        now=$(status_kb VmHWM)
        if [ "$now" = "$last" ]; then same=$((same + 1)); else same=0 last=$now; fi
        [ "$SECONDS" -lt "$until" ] || die "the program's memory did not settle"
        sleep 0.05
    done
}

# Gives the window the keyboard and types `keys`; types them again (at most twice more)
# when `outcome` does not follow within 5 s. Without a window manager nothing but this
# activates a window, and keys that arrive before Qt has taken the activation in can be
# lost (typed with `xdotool key --window` they often were).
retries=0
type_until() {
    local window_title=$1 outcome=$2 outcome_title=$3
    shift 3
    local window
    for _ in 1 2 3; do
        window=$(visible_window "$window_title")
        if [ -n "$window" ]; then
            xdotool windowfocus --sync "$window" 2>/dev/null || true
            xdotool key --delay 20 "$@"
        fi
        poll 5 "$outcome" "$outcome_title" && return 0
        retries=$((retries + 1))
    done
    die "no $outcome_title window after typing $* three times"
}

# One opening and closing of Century's graph window. The main window's first row is
# Century (a new work directory lists by name): Down moves to the second row (or to the
# first when no row is current yet) and Up back to the first, selecting it; Enter logs
# in. Escape closes the graph window.
open_graph() {
    type_until "$main_title" shown "$graph_title" Down Up Return
    poll "$wait_seconds" gone "$main_title" || die "the main window stayed open"
}
close_graph() {
    type_until "$graph_title" shown "$main_title" Escape
    poll "$wait_seconds" gone "$graph_title" || die "the graph window stayed open"
}

# Runs the program through start-up and `cycles` openings and closings of the graph
# window, ends it with Ctrl+Q and answers its exit code. With `measure` it reads the
# figures: after start-up, after the first opening, after the 10th and the last closing.
# The main window fills its list before it shows itself, so once it is visible the list
# is complete.
startup_peak='' startup_rss='' graph_peak='' rss_10='' rss_last=''
run_program() {
    local binary=$1 log=$2 measure=$3 cycle
    start_program "$binary" "$log"
    poll "$wait_seconds" shown "$main_title" || die "no main window within $wait_seconds s"
    if [ "$measure" = measure ]; then
        settle
        startup_peak=$(status_kb VmHWM) startup_rss=$(status_kb VmRSS)
        say "started: VmHWM $startup_peak kB, VmRSS $startup_rss kB"
    fi
    for cycle in $(seq "$cycles"); do
        open_graph
        if [ "$cycle" = 1 ] && [ "$measure" = measure ]; then
            settle
            graph_peak=$(status_kb VmHWM)
            say "graph window of $century in All mode: VmHWM $graph_peak kB," \
                "VmRSS $(status_kb VmRSS) kB"
        fi
        close_graph
        if [ "$measure" = measure ] && { [ "$cycle" = 10 ] || [ "$cycle" = "$cycles" ]; }; then
            settle
            if [ "$cycle" = 10 ]; then rss_10=$(status_kb VmRSS); else rss_last=$(status_kb VmRSS); fi
            say "after $cycle cycles: VmRSS $(status_kb VmRSS) kB, VmHWM $(status_kb VmHWM) kB"
        fi
        if [ $((cycle % 25)) = 0 ]; then
            if [ "$measure" = measure ]; then
                say "$cycle cycles: VmRSS $(status_kb VmRSS) kB"
            else
                say "$cycle cycles"
            fi
        fi
    done
    # Ctrl+Q quits as the File menu does, so the program ends normally.
    local window
    window=$(visible_window "$main_title")
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key --delay 20 ctrl+q
    local until=$((SECONDS + wait_seconds))
    while running; do
        [ "$SECONDS" -lt "$until" ] || die "the program did not end after Ctrl+Q"
        sleep 0.05
    done
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    return "$status"
}

began=$SECONDS
say "release build: start-up, the graph window and $cycles cycles"
status=0
run_program "$build/stepora" "$scratch/release.log" measure || status=$?
[ "$status" = 0 ] || die "the program ended with $status: $(cat "$scratch/release.log")"

say "sanitizer build: $cycles cycles under LeakSanitizer"
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=1"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
run_program "$asan_build/stepora" "$scratch/asan.log" leaks || status=$?
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
leaks=$(sed -n 's/^SUMMARY: AddressSanitizer: [0-9]* byte(s) leaked in \([0-9]*\) allocation(s).*/\1/p' \
    "$scratch/asan.log" | tail -n 1)
leaks=${leaks:-0}
if grep -q 'Suppressions used:' "$scratch/asan.log"; then
    say "leaks suppressed in system libraries:"
    sed -n '/Suppressions used:/,/^-*$/p' "$scratch/asan.log" >&2
fi
if [ "$leaks" != 0 ] || grep -q 'ERROR: \(Address\|Leak\)Sanitizer\|runtime error:' "$scratch/asan.log"; then
    say "the sanitizer build reported:"
    grep -v '^\s*$' "$scratch/asan.log" | head -n 200 >&2
fi
if [ "$status" != 0 ] && [ "$leaks" = 0 ]; then
    die "the sanitizer build ended with $status"
fi
say "done in $((SECONDS - began)) s; keys typed again $retries times"

growth=$((rss_last - rss_10))
cat <<EOF
startup_peak_kb $startup_peak
graph_all_peak_kb $graph_peak
cycles_rss_kb_after_10 $rss_10
cycles_rss_kb_after_$cycles $rss_last
leaks $leaks
EOF

failed=0
[ "$startup_peak" -le "$limit_kb" ] || { say "start-up peak above $limit_kb kB"; failed=1; }
[ "$graph_peak" -le "$limit_kb" ] || { say "graph window peak above $limit_kb kB"; failed=1; }
[ "$growth" -le "$tolerance_kb" ] ||
    { say "resident size grew by $growth kB (more than $tolerance_kb kB)"; failed=1; }
[ "$leaks" = 0 ] || { say "$leaks allocations leaked"; failed=1; }
exit "$failed"
