#!/usr/bin/env bash
# dados as a screen reader meets it: a private D-Bus session, whose accessibility bus and
# registry start by D-Bus activation, a private X server with a window manager, the program,
# and an AT-SPI client (atspi-client.py) that reads and operates the window through the bus.
# Usage: dados-atspi.sh PATH/TO/dados
set -u

dados="${1:?usage: dados-atspi.sh PATH/TO/dados}"
here="$(cd "$(dirname "$0")" && pwd)"

# Everything below runs inside a session bus of its own, which goes when the script ends.
if [ -z "${DADOS_ATSPI_SESSION:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "dados-atspi: FAIL: dbus-run-session is missing" >&2; exit 1; }
    exec bash "$here/private-bus.sh" env DADOS_ATSPI_SESSION=1 bash "$0" "$@"
fi

limit=60  # seconds for each stage; generous, since the machine may be loaded
work="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
dados_pid=""

fail() {
    echo "dados-atspi: FAIL: $*" >&2
    for f in "$work"/xvfb.log "$work"/wm.log "$work"/dados.out "$work"/dados.err; do
        [ -s "$f" ] && { echo "--- $(basename "$f"):" >&2; cat "$f" >&2; }
    done
    exit 1
}

cleanup() {
    [ -n "$dados_pid" ] && kill "$dados_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

[ -x "$dados" ] || fail "no program at $dados"
for tool in Xvfb openbox xdotool wmctrl /usr/bin/python3; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done

# shellcheck source=private-display.sh
. "$here/private-display.sh"
start_private_display 1280x1024x24

mkdir -p "$work/config"
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/wm.log" 2>&1 &
wm_pid=$!
wm_ready() { wmctrl -m >/dev/null 2>&1 || { kill -0 "$wm_pid" 2>/dev/null || fail "openbox exited at start"; return 1; }; }
wait_for wm_ready || fail "openbox did not take over the display within ${limit}s"

# As on a desktop, the accessibility bus and its registry run before the program starts: asking
# the registry for its applications starts both by D-Bus activation and waits for them.
registry_up() { /usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount' >/dev/null 2>&1; }
wait_for registry_up || fail "the accessibility registry did not answer within ${limit}s"

SDL_VIDEODRIVER=x11 "$dados" >"$work/dados.out" 2>"$work/dados.err" &
dados_pid=$!

# The key that moves the focus goes to the active window: the client waits for the program on
# the bus, and the program's window is active by then.
if ! /usr/bin/python3 "$here/atspi-client.py"; then
    ps -o pid,stat,args -p "$dados_pid" >&2
    fail "the AT-SPI client failed"
fi

case "$(ps -o stat= -p "$dados_pid" 2>/dev/null)" in
    '' | Z*) fail "dados exited during the test" ;;
esac

# Closed as its close button does, the program ends normally with the bridge in place (a
# sanitized build also checks here that nothing of ours leaked).
wmctrl -c 'Experimento aleatorio con dados' || fail "wmctrl could not close the window"
exited() { case "$(ps -o stat= -p "$dados_pid" 2>/dev/null)" in '' | Z*) return 0 ;; esac; return 1; }
wait_for exited || fail "dados did not end within ${limit}s of the close"
wait "$dados_pid"
status=$?
dados_pid=""
[ "$status" -eq 0 ] || fail "dados ended with status $status"
exit 0
