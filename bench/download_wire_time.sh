#!/usr/bin/env bash
# How close a full PLU download gets to the time the serial line itself needs.
#
#   bench/download_wire_time.sh [--runs N] [--spread] [BIN_DIR]
#
# Runs `plu-cli download` of a 3000-PLU document (1000 packages) to
# `ecr-sim --wire-time`, which takes as long as a real line to receive and to
# send, at 115200 bit/s (baud index 4). Reports each run's elapsed time against
# the wire-time limit and the CPU time plu-cli used, then the median of the
# runs (default 3). BIN_DIR defaults to build/bin; measure a build without
# sanitizers for meaningful CPU figures, e.g.
#   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLU_TESTS=OFF
#   cmake --build build-rel && bench/download_wire_time.sh build-rel/bin
# Targets: elapsed within 3 % of the limit, CPU under 5 % of one core.
#
# The simulator and plu-cli share one processor unless --spread is given. On a
# virtual machine every wake-up of another processor is a round trip through
# the host, and a package needs several of them between the two programs and
# the kernel's terminal workers; a register on its own line costs none of
# them. --spread leaves the placement to the scheduler.
set -euo pipefail

RUNS=3
SPREAD=0
BIN_DIR=build/bin
while (($#)); do
    case "$1" in
        --runs) RUNS=${2:-}; shift $(($# > 1 ? 2 : 1)) ;;
        --spread) SPREAD=1; shift ;;
        -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) BIN_DIR=$1; shift ;;
    esac
done
[[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || { echo "--runs needs a positive count" >&2; exit 2; }
# shellcheck source=wire_bench_common.sh
source "$(dirname "$0")/wire_bench_common.sh"
write_articles "$WORK/BENCH.PLU"

# One download against a fresh simulator; prints "elapsed user system".
run_once() {
    start_sim --wire-time

    local TIMEFORMAT="%R %U %S"
    { time "${PIN[@]}" "$CLI" download "$WORK/BENCH.PLU" --tables plu --range 1-3000 --port "$WORK/pty" \
          --baud 4 --settings "$WORK/SYSTEM.CFG" 2> "$WORK/cli.err" ; } 2> "$WORK/time.out" || {
        echo "plu-cli failed:" >&2; cat "$WORK/cli.err" >&2; exit 1; }
    stop_sim
    cat "$WORK/time.out"
}

echo "placement: ${PIN[*]:-left to the scheduler}"
: > "$WORK/runs"
for ((run = 1; run <= RUNS; ++run))
do
    run_once >> "$WORK/runs"
done

# Bytes on the line, 10 bits each (8N1): the log-in frame and its
# acknowledgement at 9600 bit/s; then at 115200 the status block request and
# reply, the status check request and reply, 1000 packages with their
# acknowledgements and the log-out with its acknowledgement.
sort -n "$WORK/runs" | awk '
BEGIN {
    frame = 302; ack = 1
    packages_only = 1000 * frame * 10 / 115200
    limit = (frame + ack) * 10 / 9600 + (2 * 2 * frame + 1000 * (frame + ack) + frame + ack) * 10 / 115200
    printf "packages alone on the wire:  %7.2f s\n", packages_only
    printf "wire-time limit of the run:  %7.2f s\n", limit
}
{
    elapsed[NR] = $1; cpu[NR] = $2 + $3
    printf "run: elapsed %6.2f s (%+.1f %%), plu-cli CPU %.2f s (%.1f %% of one core)\n",
           $1, ($1 / limit - 1) * 100, cpu[NR], cpu[NR] / $1 * 100
}
END {
    m = int((NR + 1) / 2)
    printf "median elapsed:              %7.2f s  (%+.1f %% over the limit; target within 3 %%)\n", elapsed[m], (elapsed[m] / limit - 1) * 100
    worst = 0
    for (i = 1; i <= NR; ++i) if (cpu[i] / elapsed[i] > worst) worst = cpu[i] / elapsed[i]
    printf "highest CPU load:            %7.1f %% of one core (target under 5 %%)\n", worst * 100
}'
