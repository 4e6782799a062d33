#!/usr/bin/env bash
# Sets up a Debian machine, builds the program and its timing programs, and
# measures how quick the program is: the core natively (Google Benchmark),
# the real window under Wine, and the size of the program. Prints every
# figure with its reference, the ratio and the bound, and exits non-zero
# when a figure misses its bound.
#   bash scripts/bench.sh            (as root on a fresh machine)
# Not part of the test run: the figures want a machine that is not busy
# with anything else. TAV_BENCH_CPU picks the processor of the Wine timings.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$tav_root"
# A Wine prefix of its own: its server is started here, on the timings'
# processor, whatever else runs in the test prefix.
export TAV_WINEPREFIX="$tav_root/build/bench-wineprefix"
export WINEPREFIX="$TAV_WINEPREFIX"

# Release builds of their own, beside the test builds.
bench_win64=${TAV_BENCH_WIN64:-$tav_root/build/bench-win64}
bench_native=${TAV_BENCH_NATIVE:-$tav_root/build/bench-native}

bash scripts/setup.sh
# The builds talk a lot; their output is kept and shown only when one fails.
build_log="$tav_root/build/bench-build.log"
mkdir -p "$tav_root/build"
: >"$build_log"
quietly() {
    if ! "$@" >>"$build_log" 2>&1; then
        cat "$build_log" >&2
        echo "bench: build step failed: $*" >&2
        exit 1
    fi
}
echo "== building (log: $build_log)"
quietly cmake -S "$tav_root" -B "$bench_win64" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$tav_root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
quietly cmake --build "$bench_win64" -j2 --target tavrelion bare_window wine_bench standin
quietly cmake -S "$tav_root" -B "$bench_native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAV_BUILD_BENCHMARKS=ON
quietly cmake --build "$bench_native" -j2 --target bench_core

figures=()   # "name|value|unit|reference|reference label|ratio bound"
failed=0

# ---- the program's size
size=$(stat -c %s "$bench_win64/tavrelion.exe")
figures+=("tavrelion.exe, statically linked|$(awk -v s="$size" 'BEGIN { printf "%.2f", s / 1e6 }')|MB|3|bound 3 MB|1")

# ---- the core, natively: medians of five repetitions
echo "== core (native)"
core_csv=$("$bench_native/bench_core" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null)
core_median() {  # name -> median real time in microseconds
    awk -F, -v name="\"$1_median\"" '
        $1 == name {
            scale = ($5 == "ns") ? 0.001 : ($5 == "ms") ? 1000 : ($5 == "s") ? 1e6 : 1
            printf "%.3f", $3 * scale
        }' <<<"$core_csv"
}
while IFS=, read -r name _ real _ unit _; do
    [[ $name == *_median\" ]] && printf '  %-40s %12.3f %s\n' "${name//\"/}" "$real" "$unit"
done <<<"$core_csv"
for pair in "BM_JobLinesMode13AudioMkv|lines of one job, mode 13, audio, MKV" \
            "BM_LoadFullSettingsFile|settings load of a full file"; do
    value=$(core_median "${pair%%|*}")
    if [[ -z $value ]]; then
        echo "bench: no timing of ${pair%%|*}" >&2
        failed=1
        continue
    fi
    figures+=("${pair#*|}|$value|us|50|bound 50 us|1")
done

# ---- the real program under Wine
# Every process of these timings (X server, Wine server, the programs) runs
# on one processor: on this kind of virtual machine a round trip between
# processes on two processors costs several times one on the same, and the
# system's choice of processors changes from start to start. So the X
# server is a private one, started here.
bench_cpu=${TAV_BENCH_CPU:-$(($(nproc) - 1))}
taskset -pc "$bench_cpu" $$ >/dev/null
trap tav_cleanup EXIT
tav_start_xvfb
tav_prepare_prefix
tav_keep_wineserver

winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
export TAV_PROGRAM_WIN TAV_TOOLS_WIN
TAV_PROGRAM_WIN=$(winpath "$bench_win64/tavrelion.exe")
TAV_TOOLS_WIN=$(winpath "$bench_win64/tests/e2e")

for case_name in startup files_input folder_drop job_list; do
    echo "== $case_name (Wine)"
    set +e
    output=$(timeout -k 5 600 wine "$bench_win64/bench/wine/wine_bench.exe" "$case_name" 2>/dev/null)
    status=$?
    set -e
    while IFS= read -r line; do
        line=${line%$'\r'}  # console lines of a Windows program end with CR LF
        if [[ $line == FIGURE\|* ]]; then
            figures+=("${line#FIGURE|}")
        elif [[ -n $line ]]; then
            echo "$line"
        fi
    done <<<"$output"
    if ((status != 0)); then
        echo "bench: the $case_name timing failed (exit $status)" >&2
        failed=1
    fi
done

# ---- every figure against its bound
echo
echo "== figures"
missed=0
for figure in "${figures[@]}"; do
    IFS='|' read -r name value unit reference label bound <<<"$figure"
    # A bound of 0 marks a figure that only explains another one.
    read -r ratio verdict < <(awk -v v="$value" -v r="$reference" -v b="$bound" 'BEGIN {
        ratio = (r > 0) ? v / r : 0
        printf "%.2f %s\n", ratio, (b == 0) ? "info" : (r > 0 && ratio < b) ? "ok" : "MISSED" }')
    if [[ $verdict == info ]]; then
        bound_text="no bound"
    else
        bound_text=$(printf 'bound %4.2f' "$bound")
    fi
    printf '%-46s %10.2f %-3s  reference %8.2f %-3s (%s)  ratio %5s  %s  %s\n' \
        "$name" "$value" "$unit" "$reference" "$unit" "$label" "$ratio" "$bound_text" "$verdict"
    [[ $verdict == MISSED ]] && missed=1
done
if ((missed || failed)); then
    echo "bench: a figure missed its bound or could not be measured" >&2
    exit 1
fi
echo "bench: every figure within its bound"
