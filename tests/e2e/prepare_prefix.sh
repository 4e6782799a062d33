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

# Wine does not load its own Tahoma from outside the prefix; without it the
# controls fall back to a wider font and the tab row no longer fits.
install_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
    [[ -d $fonts ]] || return 0
    for font in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf; do
        [[ -f $font && ! -f $fonts/${font##*/} ]] && cp "$font" "$fonts/"
    done
    return 0
}

if [[ -f $stamp ]]; then
    install_fonts
    exit 0
fi

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock -w 300 9
[[ -f $stamp ]] && exit 0

echo "preparing the Wine prefix $WINEPREFIX" >&2
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
install_fonts
# The registry lives in the server's memory until it is flushed to disk.
timeout 60 wineserver -w || true
touch "$stamp"
