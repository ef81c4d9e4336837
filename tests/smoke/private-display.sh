# Sourced by the smoke scripts that need a real X display. The script sets `limit` (seconds for
# each stage) and `work` (its scratch directory) and defines `fail MESSAGE` before sourcing.

# Polls a condition every 0.1 s until it holds or the stage's time is up.
wait_for() {
    local tries=$((limit * 10))
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Starts a private Xvfb with the given screen (e.g. 1024x768x24), sets xvfb_pid and exports
# DISPLAY once the display accepts connections. Xvfb picks a free display itself and writes its
# number once it accepts connections. Without -noreset it would reset when the probe below
# disconnects, refusing the next client meanwhile.
start_private_display() {
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    xvfb_ready() { [ -s "$work/display" ] || { kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb exited at start"; return 1; }; }
    wait_for xvfb_ready || fail "Xvfb gave no display number within ${limit}s"
    export DISPLAY=":$(head -n 1 "$work/display")"
    wait_for xdotool getdisplaygeometry >/dev/null 2>&1 || fail "display $DISPLAY accepts no connection"
}
