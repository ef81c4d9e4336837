#!/usr/bin/env bash
# The program from a terminal without opening a window: without any display it says so and
# exits 1 (never running unseen on an off-screen driver); --help, --version and a bad option
# answer at once. Every run is bounded by `timeout`, so a hang fails instead of blocking.
# Usage: dados-cli.sh PATH/TO/dados VERSION
set -u

dados="${1:?usage: dados-cli.sh PATH/TO/dados VERSION}"
version="${2:?usage: dados-cli.sh PATH/TO/dados VERSION}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
    echo "dados-cli: FAIL: $*" >&2
    for f in "$work"/out "$work"/err; do
        [ -s "$f" ] && { echo "--- $(basename "$f"):" >&2; cat "$f" >&2; }
    done
    failed=1
}

# Runs dados with the arguments given, without any display in the environment; sets `status`.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 5 "$dados" "$@" >"$work/out" 2>"$work/err"
    status=$?
}

run
if [ "$status" -eq 124 ]; then
    fail "without a display dados still ran after 5 s"
elif [ "$status" -ne 1 ]; then
    fail "without a display dados exited with $status, not 1"
elif ! grep -q '^dados: no se puede abrir la pantalla (no display available): .' "$work/err"; then
    fail "without a display dados did not say so"
fi

run --help
{ [ "$status" -eq 0 ] && grep -q '^Uso: dados' "$work/out" && [ ! -s "$work/err" ]; } ||
    fail "--help: status $status, or no usage on standard output"

run --version
{ [ "$status" -eq 0 ] && [ "$(cat "$work/out")" = "dados $version" ]; } ||
    fail "--version: status $status, printed '$(cat "$work/out")' instead of 'dados $version'"

run --no-such-option
{ [ "$status" -eq 2 ] && grep -q -- "--no-such-option" "$work/err" && grep -q '^Uso: dados' "$work/err" &&
    [ ! -s "$work/out" ]; } || fail "a bad option: status $status, or no usage on standard error"

[ "$failed" -eq 0 ] || exit 1
echo "dados-cli: no display, --help, --version and a bad option answered as expected"
