#!/bin/sh
# Starts the register simulator on a pseudo-terminal and the PLU manager with
# its port pointed at it, for this run only; the simulator stops when the
# program ends. Every COMn leads to the simulator, so the demo works whichever
# port the settings file names.
# Usage: tools/run-demo.sh BUILD_DIR [PLU-MANAGER OPTIONS...]
set -eu

build=${1:?usage: run-demo.sh BUILD_DIR [PLU-MANAGER OPTIONS...]}
shift
bin="$build/bin"
link="$bin/ecr-sim-port"

"$bin/ecr-sim" --fill-demo --sell 40 --link "$link" >"$build/ecr-sim.out" 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT INT TERM

# The simulator prints the pseudo-terminal's path once the link is in place.
tries=0
until [ -s "$build/ecr-sim.out" ] && [ -L "$link" ]; do
  if ! kill -0 "$sim" 2>/dev/null; then
    cat "$build/ecr-sim.out" >&2
    echo "ecr-sim did not start" >&2
    exit 1
  fi
  tries=$((tries + 1))
  [ "$tries" -le 100 ] || { echo "ecr-sim gave no port" >&2; exit 1; }
  sleep 0.1
done

echo "Register simulator on $(head -n 1 "$build/ecr-sim.out"); COM1 to COM4 lead to it."
"$bin/plu-manager" --port-map "COM1=$link" --port-map "COM2=$link" \
                   --port-map "COM3=$link" --port-map "COM4=$link" "$@"
