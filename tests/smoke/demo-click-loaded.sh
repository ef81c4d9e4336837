#!/usr/bin/env bash
# Runs the Xvfb click test many times while busy loops keep every core loaded,
# which is where races between the program, SDL and the X server show up.
# Counts passes and failures and exits non-zero on any failure. Run by hand:
#   tests/smoke/demo-click-loaded.sh PATH/TO/dice_demo [RUNS [DEMO ARGS...]]
# RUNS defaults to 50; DEMO ARGS (e.g. --stress) are passed on to the demo.
set -u

demo="${1:?usage: demo-click-loaded.sh PATH/TO/dice_demo [RUNS [DEMO ARGS...]]}"
runs="${2:-50}"
shift $(($# < 2 ? $# : 2))
case "$runs" in
    '' | *[!0-9]*) echo "demo-click-loaded: RUNS must be a number, not '$runs'" >&2; exit 2 ;;
esac
here="$(cd "$(dirname "$0")" && pwd)"

loops=()
stop_loops() {
    for pid in "${loops[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${loops[@]}"; do wait "$pid" 2>/dev/null; done
    loops=()
}
trap stop_loops EXIT
trap 'exit 130' INT TERM

# One busy loop for each core.
for _ in $(seq "$(nproc)"); do
    ( while :; do :; done ) &
    loops+=($!)
done

passed=0
failed=0
for i in $(seq "$runs"); do
    if out="$(bash "$here/demo-click.sh" "$demo" "$@" 2>&1)"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "--- run $i failed:"
        echo "$out"
    fi
done
stop_loops
echo "demo-click-loaded: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
