#!/usr/bin/env bash
# Creates the Wine prefix named by WINEPREFIX once and tunes it for tests:
# unmanaged windows (no 2 s wait on every hidden or destroyed window without
# a window manager) and no crash dialog (a crash ends the process instead of
# hanging). A stamp file marks a finished prefix; a lock keeps two callers
# from building it at the same time.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix folder}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stamp="$WINEPREFIX/.tav-ready"
[[ -f $stamp ]] && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock -w 300 9
[[ -f $stamp ]] && exit 0

echo "preparing the Wine prefix $WINEPREFIX" >&2
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The registry lives in the server's memory until it is flushed to disk.
timeout 60 wineserver -w || true
touch "$stamp"
