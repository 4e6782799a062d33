#!/usr/bin/env bash
# Sets up a Debian machine, builds the program and the tests, and runs every
# test, unit and end-to-end, in one ctest run that ends with ctest's summary.
#   bash scripts/test.sh            (as root on a fresh machine)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$tav_root"

bash scripts/setup.sh
tav_build_win64
tav_build_native

trap tav_cleanup EXIT
if ! tav_display_usable; then
    tav_start_xvfb
fi
tav_prepare_prefix
tav_keep_wineserver
rm -rf build/screenshots build/e2e-flaky.log
echo "screenshots of every tab go to $tav_root/build/screenshots"
echo "end-to-end cases that pass only on their second run are listed in $tav_root/build/e2e-flaky.log"

# ctest's summary is the last thing printed; its exit code is ours.
set +e
ctest --test-dir "$tav_native" --output-on-failure -j2
status=$?
exit "$status"
