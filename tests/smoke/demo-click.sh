#!/usr/bin/env bash
# Starts a private X server, runs the demo on it through SDL, clicks its button
# where the demo says it is, and expects the demo to report the click and exit 0.
# Usage: demo-click.sh PATH/TO/dice_demo [DEMO ARGS...]
# DEMO ARGS (e.g. --stress) are passed on to the demo.
set -u

demo="${1:?usage: demo-click.sh PATH/TO/dice_demo [DEMO ARGS...]}"
shift
limit=20  # seconds for each stage

fail() {
    echo "smoke_demo_click: FAIL: $*" >&2
    for f in "$work"/xvfb.log "$work"/demo.out "$work"/demo.err; do
        [ -s "$f" ] && { echo "--- $(basename "$f"):" >&2; cat "$f" >&2; }
    done
    exit 1
}

work="$(mktemp -d)"
xvfb_pid=""
demo_pid=""
wiggle_pid=""
cleanup() {
    [ -n "$wiggle_pid" ] && kill "$wiggle_pid" 2>/dev/null
    [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

[ -x "$demo" ] || fail "no demo program at $demo"
command -v Xvfb >/dev/null || fail "Xvfb is missing (Debian package xvfb)"
command -v xdotool >/dev/null || fail "xdotool is missing (Debian package xdotool)"

# shellcheck source=private-display.sh
. "$(dirname "$0")/private-display.sh"
start_private_display 1024x768x24

SDL_VIDEODRIVER=x11 "$demo" "$@" >"$work/demo.out" 2>"$work/demo.err" &
demo_pid=$!

demo_ready() {
    grep -q '^ready ' "$work/demo.out" && return 0
    kill -0 "$demo_pid" 2>/dev/null || fail "the demo exited before it was ready"
    return 1
}
wait_for demo_ready || fail "the demo did not print 'ready X Y' within ${limit}s"
read -r _ x y < <(grep -m 1 '^ready ' "$work/demo.out")
case "$x$y" in
    '' | *[!0-9-]*) fail "bad ready line: $(grep -m 1 '^ready ' "$work/demo.out")" ;;
esac

xdotool mousemove "$x" "$y" click 1 || fail "xdotool could not click at $x $y"

# The stress opens windows below the button: moving the pointer over them makes
# input arrive while the demo waits for events and closes its windows.
case " $* " in
    *" --stress "*)
        ( while :; do xdotool mousemove "$x" "$((y + 40))" mousemove "$((x + 25))" "$((y + 70))" >/dev/null 2>&1; done ) &
        wiggle_pid=$!
        ;;
esac

demo_gone() { ! kill -0 "$demo_pid" 2>/dev/null; }
wait_for demo_gone || fail "the demo did not exit within ${limit}s of the click at $x $y"
if [ -n "$wiggle_pid" ]; then
    kill "$wiggle_pid" 2>/dev/null
    wait "$wiggle_pid" 2>/dev/null
    wiggle_pid=""
fi
wait "$demo_pid"
status=$?
demo_pid=""
grep -qx 'clicked' "$work/demo.out" || fail "the demo exited ($status) without reporting the click at $x $y"
[ "$status" -eq 0 ] || fail "the demo reported the click but exited with $status"
echo "smoke_demo_click: the demo saw the click at $x $y and exited 0"
