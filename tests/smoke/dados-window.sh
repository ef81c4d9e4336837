#!/usr/bin/env bash
# The program in a real window as a user meets it: a private X server with a window manager
# (openbox) that frames the window and closes it the way its close button does, by sending
# WM_DELETE_WINDOW. Types a number into the n field, clicks "lanzar n veces", answers the
# message window with Enter, checks that both windows carry the program's icon and the hints
# a window manager needs (the main window a normal one, the message a fixed modal dialog for
# it, both of class "dados"), closes the main window through the window manager and expects
# exit code 0.
# Usage: dados-window.sh PATH/TO/dados ICON_DIR
#   ICON_DIR holds the icon images the build drew (icon-32.img, the large icon size).
set -u

dados="${1:?usage: dados-window.sh PATH/TO/dados ICON_DIR}"
icon_dir="${2:?usage: dados-window.sh PATH/TO/dados ICON_DIR}"
limit=60  # seconds for each stage; generous, since the machine may be loaded
main_title='Experimento aleatorio con dados'
message_title='dados'  # the application's title, from the executable's name
# Where the layout puts the controls, in the main window's client area: the n field
# (KelSpinEdit1, 65 x 21) and "lanzar n veces" (Button2, 97 x 25) lie at (8, 192) and
# (80, 192) on the first page, which the page control at (8, 8) shows at (4, 24).
field_x=$((8 + 4 + 8 + 65 / 2))
field_y=$((8 + 24 + 192 + 21 / 2))
button_x=$((8 + 4 + 80 + 97 / 2))
button_y=$((8 + 24 + 192 + 25 / 2))

work="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
dados_pid=""

fail() {
    echo "dados-window: FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        import -window root "$work/screen.png" 2>/dev/null && cp "$work/screen.png" /tmp/dados-window-fail.png &&
            echo "(the screen is in /tmp/dados-window-fail.png)" >&2
    fi
    for f in "$work"/xvfb.log "$work"/wm.log "$work"/dados.out "$work"/dados.err; do
        [ -s "$f" ] && { echo "--- $(basename "$f"):" >&2; cat "$f" >&2; }
    done
    # Where a program that still runs is stuck.
    if [ -n "$dados_pid" ] && kill -0 "$dados_pid" 2>/dev/null && command -v gdb >/dev/null; then
        echo "--- dados's threads:" >&2
        gdb -p "$dados_pid" -batch -ex 'thread apply all bt' 2>&1 | grep -E '^(Thread|#)' >&2
    fi
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
[ -s "$icon_dir/icon-32.img" ] || fail "no icon image $icon_dir/icon-32.img"
for tool in Xvfb openbox xdotool wmctrl xprop xwininfo; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done

# shellcheck source=private-display.sh
. "$(dirname "$0")/private-display.sh"
start_private_display 1280x1024x24

# The window manager with its stock configuration, not the user's.
mkdir -p "$work/config"
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/wm.log" 2>&1 &
wm_pid=$!
wm_ready() { wmctrl -m >/dev/null 2>&1 || { kill -0 "$wm_pid" 2>/dev/null || fail "openbox exited at start"; return 1; }; }
wait_for wm_ready || fail "openbox did not take over the display within ${limit}s"

SDL_VIDEODRIVER=x11 "$dados" >"$work/dados.out" 2>"$work/dados.err" &
dados_pid=$!

# An exited child stays a zombie until waited for, and kill -0 still reaches a zombie.
exited() {
    case "$(ps -o stat= -p "$dados_pid" 2>/dev/null)" in '' | Z*) return 0 ;; esac
    return 1
}
alive() {
    exited || return 0
    wait "$dados_pid"
    local status=$?
    dados_pid=""
    fail "dados exited early with status $status"
}
# The one shown window with exactly this title, framed by the window manager.
framed_window() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '= ' && { echo "$id"; return 0; }
    done
    return 1
}
window_shown() { alive && framed_window "$1" >"$work/id"; }
window_gone() { alive && ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# The client area's top-left on the screen (inside the frame).
client_origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }'
}

# The window's icon as the X property holds it (width, height, then ARGB rows top to bottom)
# against the 32-pixel image the build drew (BGRA rows bottom-up after a 40-byte header: the
# same little-endian words in the other row order).
check_icon() {
    local name="$1" id="$2" expected got
    got="$(xprop -id "$id" -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON | sed 's/^_NET_WM_ICON *//' | tr -d ' ')"
    expected="32,32,$(od -An -tu4 -w128 -v -j40 -N4096 "$icon_dir/icon-32.img" | tac | tr -s ' \n' ',,' | sed 's/^,//; s/,$//')"
    [ "$got" = "$expected" ] || fail "the $name window does not carry the program's icon: _NET_WM_ICON = ${got:0:80}..."
}

# What the window manager was told about a window, and what it made of that.
property() { xprop -id "$1" "$2" 2>/dev/null; }
property_has() { property "$1" "$2" | grep -q -- "$3"; }

check_class() {
    property "$2" WM_CLASS | grep -qx 'WM_CLASS(STRING) = "dados", "dados"' ||
        fail "the $1 window's class is not dados: $(property "$2" WM_CLASS)"
}

# The main window stays what it always was: a normal, resizable window with all its buttons.
check_main_hints() {
    local type actions
    type="$(property "$main" _NET_WM_WINDOW_TYPE)"
    case "$type" in *_NET_WM_WINDOW_TYPE_NORMAL* | *'not found'*) ;; *) fail "main window type: $type" ;; esac
    ! property_has "$main" WM_TRANSIENT_FOR 'window id' || fail "the main window is transient for another"
    ! property_has "$main" _NET_WM_STATE _NET_WM_STATE_MODAL || fail "the main window is modal"
    actions="$(property "$main" _NET_WM_ALLOWED_ACTIONS)"
    for action in MINIMIZE MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE CLOSE; do
        grep -q "_NET_WM_ACTION_$action" <<<"$actions" || fail "the main window lost $action: $actions"
    done
    check_class main "$main"
}

# The message: a dialog for the main window, modal while it waits, fixed in size, with no
# minimize or maximize. Openbox offers minimize to every dialog whatever the Motif hints ask;
# what the program asks is checked there.
check_message_hints() {
    local owner actions flags functions min max
    property_has "$message" _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DIALOG ||
        fail "the message window is not a dialog: $(property "$message" _NET_WM_WINDOW_TYPE)"
    owner="$(property "$message" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p')"
    { [ -n "$owner" ] && [ "$((owner))" = "$main" ]; } ||
        fail "the message window is transient for '$owner', not the main window $main"
    wait_for property_has "$message" _NET_WM_STATE _NET_WM_STATE_MODAL ||
        fail "the message window is not modal: $(property "$message" _NET_WM_STATE)"
    actions="$(property "$message" _NET_WM_ALLOWED_ACTIONS)"
    ! grep -qE '_NET_WM_ACTION_(MAXIMIZE|RESIZE)' <<<"$actions" ||
        fail "the message window can be maximized or resized: $actions"
    read -r flags functions _ < <(property "$message" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
    # Motif: flags bit 0 says the functions count; functions 1 all, 2 resize, 8 minimize, 16 maximize.
    { [ -n "$functions" ] && ((flags & 1)) && ! ((functions & (1 | 2 | 8 | 16))); } ||
        fail "the message window's Motif hints allow more than move and close: $(property "$message" _MOTIF_WM_HINTS)"
    min="$(property "$message" WM_NORMAL_HINTS | sed -n 's/.*minimum size: //p')"
    max="$(property "$message" WM_NORMAL_HINTS | sed -n 's/.*maximum size: //p')"
    { [ -n "$min" ] && [ "$min" = "$max" ]; } || fail "the message window is not fixed in size: min '$min', max '$max'"
    check_class message "$message"
}

wait_for window_shown "$main_title" || fail "no framed main window within ${limit}s"
main="$(cat "$work/id")"
wait_for is_active "$main" || fail "the main window did not get the focus within ${limit}s"
check_icon main "$main"
check_main_hints

read -r cx cy < <(client_origin "$main")
case "$cx$cy" in '' | *[!0-9-]*) fail "no position for the main window" ;; esac

# Replace the 1 in the n field by 37, then roll.
xdotool mousemove $((cx + field_x)) $((cy + field_y)) click 1 || fail "xdotool could not click the n field"
xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace || fail "xdotool could not clear the n field"
xdotool type 37 || fail "xdotool could not type into the n field"
xdotool mousemove $((cx + button_x)) $((cy + button_y)) click 1 || fail "xdotool could not click the button"

wait_for window_shown "$message_title" || fail "no message window within ${limit}s of the click on 'lanzar n veces'"
message="$(cat "$work/id")"
check_icon message "$message"
check_message_hints
check_main_hints
wait_for is_active "$message" || fail "the message window did not get the focus within ${limit}s"
xdotool key Return || fail "xdotool could not press Enter"
wait_for window_gone "$message_title" || fail "Enter did not close the message window within ${limit}s"

# Through the window manager, as its close button does: it sends WM_DELETE_WINDOW.
wmctrl -i -c "$main" || fail "wmctrl could not ask the window manager to close the main window"
wait_for exited || fail "dados did not exit within ${limit}s of the close"
wait "$dados_pid"
status=$?
dados_pid=""
[ "$status" -eq 0 ] || fail "dados exited with $status after the close"
echo "dados-window: rolled 37 times, answered the modal dialog, closed through openbox; exit 0"
