#!/usr/bin/env bash
# Installs the build into a fresh prefix, as a user does with `cmake --install`, and checks
# what a Linux desktop looks for there: the program in bin/, a menu entry that
# desktop-file-validate accepts and whose Exec and Icon name what was installed, and the icon
# as PNG files of each size in the hicolor theme, each really of that size.
# Usage: install-check.sh CMAKE BUILD_DIR SIZE...
set -u

cmake="${1:?usage: install-check.sh CMAKE BUILD_DIR SIZE...}"
build="${2:?usage: install-check.sh CMAKE BUILD_DIR SIZE...}"
shift 2
[ $# -gt 0 ] || { echo "install-check: no icon sizes given" >&2; exit 2; }

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "install-check: FAIL: $*" >&2
    failures=$((failures + 1))
}

"$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || {
    cat "$prefix.log" >&2
    rm -f "$prefix.log"
    echo "install-check: FAIL: cmake --install failed" >&2
    exit 1
}
rm -f "$prefix.log"

if [ -f "$prefix/bin/dados" ] && [ -x "$prefix/bin/dados" ]; then
    # Runs from where it was installed: without a display it says so and stops.
    out="$(env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 "$prefix/bin/dados" 2>&1)"
    case "$out" in
        'dados: no se puede abrir la pantalla'*) ;;
        *) fail "the installed bin/dados does not run: $out" ;;
    esac
else
    fail "no executable bin/dados"
fi

entry="$prefix/share/applications/es.experimentodados.dados.desktop"
if [ -f "$entry" ]; then
    command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (Debian package desktop-file-utils)"
    out="$(desktop-file-validate "$entry" 2>&1)" || fail "desktop-file-validate rejects the entry: $out"
    [ -z "$out" ] || fail "desktop-file-validate warns: $out"
    exec_line="$(grep -m 1 '^Exec=' "$entry")"
    [ -x "$prefix/bin/${exec_line#Exec=}" ] || fail "the entry's $exec_line names no installed program"
    icon_line="$(grep -m 1 '^Icon=' "$entry")"
    icon="${icon_line#Icon=}"
    grep -qx 'Categories=Education;Math;' "$entry" || fail "the entry is not in Education;Math;"
else
    fail "no share/applications/es.experimentodados.dados.desktop"
    icon=dados
fi

# The width and height of a PNG file: the first chunk, IHDR, holds them big-endian at 16..23.
png_size() {
    local magic
    magic="$(od -An -tx1 -N8 "$1" | tr -d ' \n')"
    [ "$magic" = 89504e470d0a1a0a ] || return 1
    [ "$(dd if="$1" bs=1 skip=12 count=4 2>/dev/null)" = IHDR ] || return 1
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

for size in "$@"; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    if [ ! -f "$png" ]; then
        fail "no icon $icon.png in hicolor/${size}x${size}"
        continue
    fi
    got="$(png_size "$png")" || { fail "hicolor/${size}x${size}/apps/$icon.png is not a PNG file"; continue; }
    [ "$got" = "${size}x${size}" ] || fail "hicolor/${size}x${size}/apps/$icon.png is $got"
done

[ "$failures" -eq 0 ] || exit 1
echo "install-check: bin/dados, a valid es.experimentodados.dados.desktop and the icon at $* installed"
