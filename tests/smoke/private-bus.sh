#!/usr/bin/env bash
# Runs a command inside a D-Bus session of its own, as a desktop session has one: the
# accessibility bus and its registry start in it by D-Bus activation. The accessibility bus
# puts its socket under XDG_RUNTIME_DIR (else under ~/.cache, shared by every session), so
# each session gets a runtime folder of its own, and sessions running side by side or one
# just ending never take each other's bus.
# Usage: private-bus.sh COMMAND [ARGUMENT...]
set -u
runtime="$(mktemp -d)"
chmod 700 "$runtime"
XDG_RUNTIME_DIR="$runtime" dbus-run-session -- "$@"
status=$?
rm -rf "$runtime"
exit "$status"
