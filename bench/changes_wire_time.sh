#!/usr/bin/env bash
# A download of twenty changed prices against the full download it replaces.
#
#   bench/changes_wire_time.sh [--runs N] [BIN_DIR]
#
# For each run (default 3) a fresh `ecr-sim --wire-time` at 115200 bit/s (baud
# index 4) gets a full download of a 3000-PLU document, which leaves what the
# register holds in the history beside the settings file. Then twenty prices
# scattered over the 3000 PLUs change and `plu-cli download --changes-only`
# sends them. Reports both elapsed times (each including log-in and log-out)
# and the PLU packages the simulator received for the changes; then the
# medians. Targets: the changes in at most 7 packages, under 2 s.
# BIN_DIR defaults to build/bin; measure a build without sanitizers, e.g.
#   cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLU_TESTS=OFF
#   cmake --build build-run --target plu-cli ecr-sim && bench/changes_wire_time.sh build-run/bin
# The simulator and plu-cli share one processor (see download_wire_time.sh).
set -euo pipefail

RUNS=3
BIN_DIR=build/bin
while (($#)); do
    case "$1" in
        --runs) RUNS=${2:-}; shift $(($# > 1 ? 2 : 1)) ;;
        -h|--help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) BIN_DIR=$1; shift ;;
    esac
done
[[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || { echo "--runs needs a positive count" >&2; exit 2; }
# shellcheck source=wire_bench_common.sh
source "$(dirname "$0")/wire_bench_common.sh"

# 3000 articles; the changed document has new prices for PLUs 7, 156, 305, ...
write_articles "$WORK/FULL.PLU"
awk -F '\t' 'BEGIN { OFS = "\t" } { if (NR % 149 == 7 && NR < 3000) $3 = "99.99"; print }' "$WORK/FULL.PLU" > "$WORK/CHANGED.PLU"

# Elapsed seconds of one plu-cli download.
timed_download() {
    local TIMEFORMAT="%R"
    { time "${PIN[@]}" "$CLI" download "$@" --tables plu --range 1-3000 --port "$WORK/pty" --baud 4 \
          --settings "$WORK/SYSTEM.CFG" 2> "$WORK/cli.err" ; } 2> "$WORK/time.out" || {
        echo "plu-cli failed:" >&2; cat "$WORK/cli.err" >&2; exit 1; }
    cat "$WORK/time.out"
}

# One run against a fresh simulator; prints "full changes packages".
run_once() {
    rm -f "$WORK/sim.log" "$WORK"/HISTORY.DB*
    start_sim --wire-time --log "$WORK/sim.log"
    local full changes before packages
    full=$(timed_download "$WORK/FULL.PLU")
    before=$(grep -c '(PLU download)' "$WORK/sim.log")
    changes=$(timed_download "$WORK/CHANGED.PLU" --changes-only)
    stop_sim
    packages=$(($(grep -c '(PLU download)' "$WORK/sim.log") - before))
    echo "$full $changes $packages"
}

: > "$WORK/runs"
for ((run = 1; run <= RUNS; ++run))
do
    run_once >> "$WORK/runs"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

awk '{ printf "run: full download %6.2f s, 20 changes %5.2f s in %d packages\n", $1, $2, $3 }' "$WORK/runs"
most=$(cut -d' ' -f3 "$WORK/runs" | sort -n | tail -1)
printf "median: full download %6.2f s, 20 changes %5.2f s; most packages %d (targets: under 2 s, at most 7)\n" \
    "$(cut -d' ' -f1 "$WORK/runs" | median)" "$(cut -d' ' -f2 "$WORK/runs" | median)" "$most"
