#!/usr/bin/env bash
# Builds the Debian package from a built tree into a temporary folder, as `cpack -G DEB` does,
# and checks it as a user's system would meet it: lintian finds no error, it holds the
# program's files (and no build or test leftovers), and the programs unpacked from it run.
# Usage: package-deb.sh CPACK BUILD_DIR VERSION ICON_SIZE...
set -u

cpack="${1:?usage: package-deb.sh CPACK BUILD_DIR VERSION ICON_SIZE...}"
build="${2:?usage: package-deb.sh CPACK BUILD_DIR VERSION ICON_SIZE...}"
version="${3:?usage: package-deb.sh CPACK BUILD_DIR VERSION ICON_SIZE...}"
shift 3
[ $# -gt 0 ] || { echo "package-deb: no icon sizes given" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "package-deb: FAIL: $*" >&2
    failures=$((failures + 1))
}
for tool in lintian dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "package-deb: FAIL: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "package-deb: FAIL: cpack failed" >&2
    exit 1
}
deb="$(find "$work/out" -maxdepth 1 -name 'dados_*.deb')"
arch="$(dpkg --print-architecture)"
[ "$(basename "$deb")" = "dados_${version}_${arch}.deb" ] || { echo "package-deb: FAIL: made '$deb', not dados_${version}_${arch}.deb" >&2; exit 1; }

# Errors fail; warnings and notes are shown for whoever reads the log.
lintian --pedantic "$deb" >"$work/lintian.log" 2>&1
cat "$work/lintian.log"
grep -q '^E:' "$work/lintian.log" && fail "lintian reports errors"

[ "$(dpkg-deb -f "$deb" Package)" = dados ] || fail "the package is not called dados"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "the package is not in section education"
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2' || fail "the dependencies do not come from the binaries"

# Paths as dpkg-deb -c lists them (./usr/...), regular files only.
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $NF }' | sort >"$work/files"
expected=(
    ./usr/bin/dados
    ./usr/bin/dados-driver
    ./usr/share/applications/es.experimentodados.dados.desktop
    ./usr/share/metainfo/es.experimentodados.dados.metainfo.xml
    ./usr/share/man/man1/dados.1.gz
    ./usr/share/man/man1/dados-driver.1.gz
    ./usr/share/doc/dados/copyright
    ./usr/share/doc/dados/changelog.gz
)
for size in "$@"; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/dados.png")
done
for file in "${expected[@]}"; do
    grep -qxF "$file" "$work/files" || fail "the package lacks $file"
done
extra="$(printf '%s\n' "${expected[@]}" | sort | comm -13 - "$work/files")"
[ -z "$extra" ] || fail "the package holds files that are not the program's: $extra"

dpkg-deb -x "$deb" "$work/root"
for program in dados dados-driver; do
    file "$work/root/usr/bin/$program" | grep -q ', stripped' || fail "usr/bin/$program is not stripped"
done
out="$("$work/root/usr/bin/dados" --version 2>&1)"
[ "$out" = "dados $version" ] || fail "usr/bin/dados --version says '$out'"
# Standard error stays apart: a sanitized build reports there on exit.
out="$(printf 'click Button2\nmessage\nkey Enter\ntext Edit7\nquit\n' | "$work/root/usr/bin/dados-driver" 2>"$work/driver.err")"
expected_out="$(printf 'ok\nok dados|se ha lanzado el dado 1\nok\nok 1\nok')"
[ "$out" = "$expected_out" ] || fail "one roll through usr/bin/dados-driver answered: $out $(cat "$work/driver.err")"

[ "$failures" -eq 0 ] || exit 1
echo "package-deb: $(basename "$deb") passes lintian, holds the program's files, and its programs run"
