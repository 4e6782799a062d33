# Shared steps of run.sh and test.sh: builds, the Wine prefix, the X display.
# Sourced, not run. Everything started here is recorded so that tav_cleanup
# ends exactly what this shell started and nothing else.

tav_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tav_win64="$tav_root/build/win64"
tav_native="$tav_root/build/native"
# The project's own Wine prefix (TAV_WINEPREFIX may name another): never the
# user's WINEPREFIX, which the tests would tune and whose server they end.
export TAV_WINEPREFIX="${TAV_WINEPREFIX:-$tav_root/build/wineprefix}"
export WINEPREFIX="$TAV_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# ImageMagick by its full path: another "convert" may come first on PATH.
tav_convert=/usr/bin/convert

tav_xvfb_pid=""
tav_wineserver_started=""

tav_build_win64() {
    cmake -S "$tav_root" -B "$tav_win64" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$tav_root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$tav_win64" -j2
}

tav_build_native() {
    cmake -S "$tav_root" -B "$tav_native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DTAV_WIN64_DIR="$tav_win64"
    cmake --build "$tav_native" -j2
}

# True when $DISPLAY names an X server that answers.
tav_display_usable() {
    [[ -n ${DISPLAY:-} ]] && timeout 10 xwd -root -silent >/dev/null 2>&1
}

# Starts a private Xvfb on a free display and exports DISPLAY.
tav_start_xvfb() {
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    tav_xvfb_pid=$!
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -s $fdfile ]] && break
        kill -0 "$tav_xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [[ ! -s $fdfile ]]; then
        rm -f "$fdfile"
        echo "could not start Xvfb" >&2
        return 1
    fi
    export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
    rm -f "$fdfile"
}

# Creates and tunes the Wine prefix once; later runs reuse it.
tav_prepare_prefix() {
    "$tav_root/tests/e2e/prepare_prefix.sh"
}

# Keeps one wineserver alive for the prefix so every wine start is quick.
tav_keep_wineserver() {
    if wineserver -p 2>/dev/null; then
        tav_wineserver_started=1
    fi
}

tav_cleanup() {
    if [[ -n $tav_wineserver_started ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [[ -n $tav_xvfb_pid ]]; then
        kill "$tav_xvfb_pid" 2>/dev/null || true
        wait "$tav_xvfb_pid" 2>/dev/null || true
    fi
}
