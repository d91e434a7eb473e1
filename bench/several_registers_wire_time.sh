#!/usr/bin/env bash
# Several registers side by side against one register alone.
#
#   bench/several_registers_wire_time.sh [--registers N] [BIN_DIR]
#
# Starts N (default 3) `ecr-sim --wire-time` simulators, each on its own
# pseudo-terminal, and downloads a 3000-PLU document (1000 packages) at
# 115200 bit/s: first to one register alone (`plu-cli download --port`), then
# to all of them at once (`--port A --port B ...`). Reports the elapsed time
# of both, each register's own time in the run on all (the line plu-cli
# prints as each ends) and the CPU time plu-cli used. BIN_DIR defaults to
# build/bin; measure a build without sanitizers for meaningful CPU figures:
#   cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLU_TESTS=OFF
#   cmake --build build-run --target plu-cli ecr-sim
#   bench/several_registers_wire_time.sh build-run/bin
# Targets: the run on all at most 1.15 times one register's download, CPU
# under 5 % of one core.
set -euo pipefail

COUNT=3
BIN_DIR=build/bin
while (($#)); do
    case "$1" in
        --registers) COUNT=${2:-}; shift $(($# > 1 ? 2 : 1)) ;;
        -h|--help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) BIN_DIR=$1; shift ;;
    esac
done
[[ "$COUNT" =~ ^[1-9][0-9]*$ ]] || { echo "--registers needs a positive count" >&2; exit 2; }
# Every program is left to the scheduler: N + 1 of them on the processors.
SPREAD=1
# shellcheck source=wire_bench_common.sh
source "$(dirname "$0")/wire_bench_common.sh"
write_articles "$WORK/BENCH.PLU"

SIM_PIDS=()
stop_sims() {
    for pid in "${SIM_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    SIM_PIDS=()
}
trap 'stop_sims; rm -rf "$WORK"' EXIT

PORTS=()
for ((i = 1; i <= COUNT; ++i)); do
    "$SIM" --link "$WORK/pty$i" --wire-time > "$WORK/sim$i.out" 2> "$WORK/sim$i.err" &
    SIM_PIDS+=($!)
    PORTS+=(--port "$WORK/pty$i")
done
for ((i = 1; i <= COUNT; ++i)); do
    for _ in $(seq 100); do
        [[ -s "$WORK/sim$i.out" ]] && break
        sleep 0.05
    done
    [[ -e "$WORK/pty$i" ]] || { echo "ecr-sim $i did not start:" >&2; cat "$WORK/sim$i.err" >&2; exit 1; }
done

# Prints "elapsed user system" of one plu-cli download to the given ports.
download() {
    local TIMEFORMAT="%R %U %S"
    { time "$CLI" download "$WORK/BENCH.PLU" --tables plu --range 1-3000 "$@" --baud 4 \
          --settings "$WORK/SYSTEM.CFG" > "$WORK/cli.out" 2> "$WORK/cli.err" ; } 2> "$WORK/time.out" || {
        echo "plu-cli failed:" >&2; cat "$WORK/cli.err" >&2; exit 1; }
    cat "$WORK/time.out"
}

read -r ONE_ELAPSED ONE_USER ONE_SYS < <(download --port "$WORK/pty1")
read -r ALL_ELAPSED ALL_USER ALL_SYS < <(download "${PORTS[@]}")
grep -o 'done in [0-9.]* s' "$WORK/cli.out" | awk '{ print $3 }' > "$WORK/each"
[[ $(wc -l < "$WORK/each") -eq $COUNT ]] || { echo "not every register was done:" >&2; cat "$WORK/cli.out" >&2; exit 1; }

awk -v n="$COUNT" -v one="$ONE_ELAPSED" -v ou="$ONE_USER" -v os="$ONE_SYS" \
    -v all="$ALL_ELAPSED" -v au="$ALL_USER" -v as="$ALL_SYS" '
BEGIN { onecpu = ou + os; allcpu = au + as }
{ each[NR] = $1; if ($1 > longest) longest = $1; if (NR == 1 || $1 < shortest) shortest = $1 }
END {
    printf "one register alone:          %7.2f s, plu-cli CPU %.2f s (%.1f %% of one core)\n", one, onecpu, onecpu / one * 100
    printf "%d registers at once:         %7.2f s, plu-cli CPU %.2f s (%.1f %% of one core)\n", n, all, allcpu, allcpu / all * 100
    printf "each register in that run:   "
    for (i = 1; i <= NR; ++i) printf " %.1f s", each[i]
    printf "\n"
    printf "run on all / one alone:      %7.3f (target at most 1.15)\n", all / one
    printf "run on all / its shortest register: %.3f\n", all / shortest
}' "$WORK/each"
