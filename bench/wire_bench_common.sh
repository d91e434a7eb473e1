# Shared by the download benchmarks (sourced, not run): the programs, the
# processor both share, a work folder removed on exit, the simulator on a
# pseudo-terminal and a 3000-article document.
#   SIM, CLI          ecr-sim and plu-cli in BIN_DIR (set before sourcing)
#   PIN               the taskset prefix, unless SPREAD=1
#   WORK              the work folder; $WORK/pty is the simulator's port
#   start_sim ARGS    a fresh simulator with these options
#   stop_sim
#   write_articles F  3000 articles into F

SIM="$BIN_DIR/ecr-sim"
CLI="$BIN_DIR/plu-cli"
[[ -x "$SIM" && -x "$CLI" ]] || { echo "no ecr-sim and plu-cli in $BIN_DIR" >&2; exit 2; }

PIN=()
if ((!${SPREAD:-0})) && command -v taskset > /dev/null; then
    CPU=$(taskset -pc $$ | sed 's/.*: *//; s/[,-].*//')
    PIN=(taskset -c "$CPU")
fi

WORK=$(mktemp -d)
SIM_PID=""
stop_sim() {
    if [[ -n "$SIM_PID" ]]; then
        kill "$SIM_PID" 2>/dev/null || true
        wait "$SIM_PID" 2>/dev/null || true
        SIM_PID=""
    fi
}
cleanup() {
    stop_sim
    rm -rf "$WORK"
}
trap cleanup EXIT

start_sim() {
    rm -f "$WORK/pty" "$WORK/sim.out"
    "${PIN[@]}" "$SIM" --link "$WORK/pty" "$@" > "$WORK/sim.out" 2> "$WORK/sim.err" &
    SIM_PID=$!
    for _ in $(seq 100); do
        [[ -s "$WORK/sim.out" ]] && break
        sleep 0.05
    done
    [[ -e "$WORK/pty" ]] || { echo "ecr-sim did not start:" >&2; cat "$WORK/sim.err" >&2; exit 1; }
}

# Barcode, name, price, department, stocks, flag, quantity, total.
write_articles() {
    awk 'BEGIN {
        for (n = 1; n <= 3000; ++n)
            printf "%d\tArticle %d\t%d.%02d\t%d\t%d.500\t0\t0\t0\r\n", 2000000000000 + n, n, n % 100, n % 97, n % 9 + 1, n % 50
    }' > "$1"
}
