#!/usr/bin/env bash
# Runs one Windows test program under Wine for ctest:
#   run_case.sh <program.exe> [arguments...]
# Uses the Wine prefix named by TAV_WINEPREFIX, else build/wineprefix of this
# checkout (created on first use; never the user's own WINEPREFIX), and the
# X display in DISPLAY when it answers, else a private Xvfb for this run
# only. Screenshots that the test leaves as .bmp files in TAV_SHOT_DIR are
# turned into .png files.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
export WINEPREFIX="${TAV_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its code pages from the locale: C.UTF-8 gives ANSI code page
# 1252 and console code page 437, which the checks of names beyond ASCII
# expect, and file names beyond ASCII (another locale may have neither).
export LC_ALL=C.UTF-8

# Windows path of a Unix path through Wine's Z: drive.
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }

xvfb_pid=""
finish() {
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap finish EXIT

if ! { [[ -n ${DISPLAY:-} ]] && timeout 10 xwd -root -silent >/dev/null 2>&1; }; then
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    for ((i = 0; i < 100; i++)); do
        [[ -s $fdfile ]] && break
        sleep 0.1
    done
    [[ -s $fdfile ]] || { echo "run_case: could not start Xvfb" >&2; exit 1; }
    export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
    rm -f "$fdfile"
fi

"$here/prepare_prefix.sh" || { echo "run_case: no Wine prefix" >&2; exit 1; }

program=$1
shift
[[ -f $program ]] || { echo "run_case: $program was not built" >&2; exit 1; }
# Paths handed to the Windows side, in its own form.
[[ -n ${TAV_PROGRAM:-} ]] && export TAV_PROGRAM_WIN=$(winpath "$TAV_PROGRAM")
[[ -n ${TAV_TOOLS_DIR:-} ]] && export TAV_TOOLS_WIN=$(winpath "$TAV_TOOLS_DIR")
if [[ -n ${TAV_SHOT_DIR:-} ]]; then
    mkdir -p "$TAV_SHOT_DIR"
    export TAV_SHOT_WIN=$(winpath "$TAV_SHOT_DIR")
fi

# The output goes through a file: a process left behind (a crashed program
# under the debugger) must not hold the test runner's pipe open.
run_once() {
    local out rc
    out=$(mktemp)
    timeout -k 5 "${TAV_CASE_TIMEOUT:-100}" wine "$program" "$@" >"$out" 2>&1 </dev/null
    rc=$?
    cat "$out"
    ((rc == 124)) && echo "run_case: the test program did not end in time" >&2
    ((rc != 0)) && last_failure=$(tail -c 4000 "$out")
    rm -f "$out"
    return "$rc"
}
# Wine on a busy machine now and then loses a process start; a case that
# fails is run once more, and its first failure stays in the output, marked,
# so an intermittent fault is seen even when the second run passes.
last_failure=""
run_once "$@"
rc=$?
if ((rc != 0 && rc != 124)); then
    echo "run_case: FLAKY? the first run failed (exit $rc); running the case once more" >&2
    mkdir -p "$root/build"
    echo "$(date -u +%FT%TZ) $(basename "$program") $* failed once (exit $rc):" >>"$root/build/e2e-flaky.log"
    printf '%s\n\n' "$last_failure" >>"$root/build/e2e-flaky.log"
    run_once "$@"
    rc=$?
fi

# A case that set the screen's DPI sets it back itself, unless it was
# killed or crashed: then the prefix keeps it, so it is set back here.
if ((rc != 0)); then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
fi

if [[ -n ${TAV_SHOT_DIR:-} ]]; then
    for bmp in "$TAV_SHOT_DIR"/*.bmp; do
        [[ -f $bmp ]] || continue
        /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
fi
exit "$rc"
