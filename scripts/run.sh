#!/usr/bin/env bash
# Sets up a Debian machine, builds the program and starts it under Wine.
# With a usable DISPLAY the window opens there and the command ends when the
# program is closed. Without one the program runs under a private Xvfb: once
# its window shows, build/screenshot.png is written and the program is closed.
#   bash scripts/run.sh            (as root on a fresh machine)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$tav_root"

bash scripts/setup.sh
tav_build_win64
exe="$tav_win64/tavrelion.exe"

# The program keeps its settings and working folders beside itself: run a
# copy in build/run, so they stay out of the build folder.
mkdir -p build/run
cp "$exe" build/run/

trap tav_cleanup EXIT
if tav_display_usable; then
    tav_prepare_prefix
    cd build/run
    wine tavrelion.exe
    exit 0
fi

tav_start_xvfb
tav_prepare_prefix
tav_keep_wineserver
(cd build/run && exec wine tavrelion.exe) &
program=$!

# The window is shown once it is complete; find it by its title.
shown=""
for ((i = 0; i < 200; i++)); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"tavrelion"'; then
        shown=1
        break
    fi
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if [[ -z $shown ]]; then
    echo "run: the window of tavrelion did not appear" >&2
    exit 1
fi
sleep 1  # let it paint
xwd -root -silent | "$tav_convert" xwd:- -crop 330x400+0+0 +repage build/screenshot.png
echo "screenshot written to $tav_root/build/screenshot.png"

# Close it the way a user would, through the window's close request.
wine cmd /c taskkill /im tavrelion.exe >/dev/null 2>&1 || true
for ((i = 0; i < 100; i++)); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    echo "run: the program did not close; ending it" >&2
    kill "$program" 2>/dev/null || true
fi
wait "$program" 2>/dev/null || true
