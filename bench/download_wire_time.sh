#!/usr/bin/env bash
# How close a full PLU download gets to the time the serial line itself needs.
#
#   bench/download_wire_time.sh [BIN_DIR]
#
# Runs `plu-cli download` of a 3000-PLU document (1000 packages) to
# `ecr-sim --wire-time`, which takes as long as a real line to receive and to
# send, at 115200 bit/s (baud index 4). Reports the elapsed time against the
# wire-time limit and the CPU time plu-cli used. BIN_DIR defaults to build/bin;
# measure a build without sanitizers for meaningful CPU figures, e.g.
#   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLU_TESTS=OFF
#   cmake --build build-rel && bench/download_wire_time.sh build-rel/bin
# Targets: elapsed within 3 % of the limit, CPU under 5 % of one core.
set -euo pipefail

BIN_DIR=${1:-build/bin}
SIM="$BIN_DIR/ecr-sim"
CLI="$BIN_DIR/plu-cli"
[[ -x "$SIM" && -x "$CLI" ]] || { echo "no ecr-sim and plu-cli in $BIN_DIR" >&2; exit 2; }

WORK=$(mktemp -d)
SIM_PID=""
cleanup() {
    if [[ -n "$SIM_PID" ]]; then
        kill "$SIM_PID" 2>/dev/null || true
        wait "$SIM_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# 3000 articles: barcode, name, price, department, stocks, flag, quantity, total.
awk 'BEGIN {
    for (n = 1; n <= 3000; ++n)
        printf "%d\tArticle %d\t%d.%02d\t%d\t%d.500\t0\t0\t0\r\n", 2000000000000 + n, n, n % 100, n % 97, n % 9 + 1, n % 50
}' > "$WORK/BENCH.PLU"

"$SIM" --link "$WORK/pty" --wire-time > "$WORK/sim.out" 2> "$WORK/sim.err" &
SIM_PID=$!
for _ in $(seq 100); do
    [[ -s "$WORK/sim.out" ]] && break
    sleep 0.05
done
[[ -e "$WORK/pty" ]] || { echo "ecr-sim did not start:" >&2; cat "$WORK/sim.err" >&2; exit 1; }

TIMEFORMAT="%R %U %S"
{ time "$CLI" download "$WORK/BENCH.PLU" --tables plu --range 1-3000 --port "$WORK/pty" --baud 4 \
      --settings "$WORK/SYSTEM.CFG" 2> "$WORK/cli.err" ; } 2> "$WORK/time.out" || {
    echo "plu-cli failed:" >&2; cat "$WORK/cli.err" >&2; exit 1; }
read -r ELAPSED USER_CPU SYS_CPU < "$WORK/time.out"

# Bytes on the line, 10 bits each (8N1): the log-in frame and its
# acknowledgement at 9600 bit/s; then at 115200 the status block request and
# reply, the status check request and reply, 1000 packages with their
# acknowledgements and the log-out with its acknowledgement.
awk -v elapsed="$ELAPSED" -v user="$USER_CPU" -v sys="$SYS_CPU" 'BEGIN {
    frame = 302; ack = 1
    packages_only = 1000 * frame * 10 / 115200
    limit = (frame + ack) * 10 / 9600 + (2 * 2 * frame + 1000 * (frame + ack) + frame + ack) * 10 / 115200
    cpu = user + sys
    printf "packages alone on the wire:  %7.2f s\n", packages_only
    printf "wire-time limit of the run:  %7.2f s\n", limit
    printf "elapsed:                     %7.2f s  (%+.1f %% over the limit; target within 3 %%)\n", elapsed, (elapsed / limit - 1) * 100
    printf "plu-cli CPU time:            %7.2f s  (user %.2f, system %.2f)\n", cpu, user, sys
    printf "CPU load:                    %7.1f %% of one core (target under 5 %%)\n", cpu / elapsed * 100
}'
