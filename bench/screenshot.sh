#!/bin/sh
# Takes a picture of plu-manager with test data on a virtual display.
#   bench/screenshot.sh [build-dir] [output.png]
set -eu
build=${1:-build}
out=${2:-screenshot.png}
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0} exec xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/bin/plu-manager" --fill-test-data --screenshot "$out"
