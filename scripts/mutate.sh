#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Applies each fault of scripts/mutations.txt to the source, one at a time, rebuilds the
# test program that should notice it, runs its tests and says whether they did.
#
#   scripts/mutate.sh [--report] [--check] [id …]
#     --report  print the table only; exit 0 even when faults were missed
#     --check   only verify that every entry's text occurs exactly once
#   BUILD=dir (default build-mutate), TEST_TIMEOUT=seconds per test (default 120)
# An entry may name several test programs, separated by spaces.
set -u
cd "$(dirname "$0")/.."
LIST=scripts/mutations.txt
BUILD=${BUILD:-build-mutate}
TEST_TIMEOUT=${TEST_TIMEOUT:-120}
report_only=0 check_only=0
wanted=()
for a in "$@"; do
    case $a in --report) report_only=1 ;; --check) check_only=1 ;; *) wanted+=("$a") ;; esac
done

# The one file changed at a time, and its untouched copy.
backup="" target_file=""
restore() {
    if [ -n "$backup" ]; then
        # A new time stamp, so the next build compiles the file again.
        cp "$backup" "$target_file" && rm -f "$backup"
        backup=""
    fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

# "\n" in a text of the list stands for a line break.
unescape() { printf '%s' "${1//\\n/$'\n'}"; }

# Prints how often $2 occurs in the file $1.
occurrences() {
    local content rest
    content=$(<"$1")
    rest=${content//"$2"/}
    echo $(((${#content} - ${#rest}) / ${#2}))
}

if [ $check_only = 0 ] && [ ! -f "$BUILD/build.ninja" ] && [ ! -f "$BUILD/Makefile" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DSTEPORA_BUILD_BENCH=OFF >/dev/null || exit 2
fi

rows=() caught=0 total=0 missed=0 broken=0 log="$BUILD/mutate.log"
good_bases=" " bad_bases=" "

# The tests must pass on the unchanged source first, or every fault would look caught.
# (This also rebuilds a program a previous fault left changed.)
baseline_passes() {
    case $good_bases in *" $target|$tests "*) return 0 ;; esac
    case $bad_bases in *" $target|$tests "*) return 1 ;; esac
    echo "=== baseline $target ($tests)" >>"$log"
    if cmake --build "$BUILD" -j1 --target $target >>"$log" 2>&1 &&
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD" -R "$tests" \
            --timeout "$TEST_TIMEOUT" >>"$log" 2>&1; then
        good_bases+="$target|$tests "
        return 0
    fi
    bad_bases+="$target|$tests "
    return 1
}
[ $check_only = 1 ] || : >"$log"

run_fault() {  # uses id file target tests find repl what
    local selected=1 n result
    if [ ${#wanted[@]} -gt 0 ]; then
        selected=0
        for w in "${wanted[@]}"; do [ "$w" = "$id" ] && selected=1; done
    fi
    [ $selected = 1 ] || return 0
    total=$((total + 1))
    local f r
    f=$(unescape "$find") r=$(unescape "$repl")
    n=0
    [ -f "$file" ] && n=$(occurrences "$file" "$f")
    if [ "$n" != 1 ]; then
        result="BAD ENTRY (text found $n times)"
        broken=$((broken + 1))
    elif [ $check_only = 1 ]; then
        result="applies"
        caught=$((caught + 1))
    elif ! baseline_passes; then
        result="BASELINE FAILS"
        broken=$((broken + 1))
    else
        target_file=$file backup=$(mktemp)
        cp -p "$file" "$backup"
        local content
        content=$(<"$file")
        printf '%s\n' "${content/"$f"/"$r"}" >"$file"
        echo "=== $id ($file)" >>"$log"
        if ! cmake --build "$BUILD" -j1 --target $target >>"$log" 2>&1; then
            result="does not compile"
            broken=$((broken + 1))
        elif QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD" -R "$tests" \
            --timeout "$TEST_TIMEOUT" >>"$log" 2>&1; then
            result="MISSED"
            missed=$((missed + 1))
        else
            result="caught"
            caught=$((caught + 1))
        fi
        restore
    fi
    rows+=("$(printf '%-26s %-18s %s' "$id" "$result" "$what")")
    printf '%-26s %s\n' "$id" "$result" >&2
}

# Entries are blocks of "key: value" lines, ended by a blank line.
id="" file="" target="" tests="" find="" repl="" what=""
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
        "#"*) ;;
        "id: "*) id=${line#id: } ;;
        "file: "*) file=${line#file: } ;;
        "target: "*) target=${line#target: } ;;
        "tests: "*) tests=${line#tests: } ;;
        "find: "*) find=${line#find: } ;;
        "repl:"*) repl=${line#repl:} repl=${repl# } ;;
        "what: "*) what=${line#what: } ;;
        "")
            [ -n "$id" ] && run_fault
            id="" file="" target="" tests="" find="" repl="" what=""
            ;;
        *) echo "mutations.txt: cannot read: $line" >&2; exit 2 ;;
    esac
done <"$LIST"
[ -n "$id" ] && run_fault

echo
printf '%-26s %-18s %s\n' "fault" "result" "description"
printf '%s\n' "${rows[@]}"
echo
if [ $check_only = 1 ]; then
    echo "$caught of $total entries apply"
    [ $broken = 0 ]
    exit
fi
echo "caught $caught of $total"
[ $missed = 0 ] || echo "missed $missed"
[ $broken = 0 ] || echo "$broken entries do not apply, do not compile or fail unchanged (see $log)"
[ $report_only = 1 ] && exit 0
[ $missed = 0 ] && [ $broken = 0 ]
