#!/usr/bin/env bash
# The files that desktops and the manual read are checked by the tools that read them: the
# software-centre entry (pedantically), the menu entry and the manual pages, each without
# a single remark.
# Usage: desktop-files.sh METAINFO DESKTOP_ENTRY MANPAGE...
set -u

metainfo="${1:?usage: desktop-files.sh METAINFO DESKTOP_ENTRY MANPAGE...}"
entry="${2:?usage: desktop-files.sh METAINFO DESKTOP_ENTRY MANPAGE...}"
shift 2
failures=0
fail() {
    echo "desktop-files: FAIL: $*" >&2
    failures=$((failures + 1))
}
for tool in appstreamcli desktop-file-validate mandoc; do
    command -v "$tool" >/dev/null || { echo "desktop-files: FAIL: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done

# appstreamcli ends with a summary line; any line before it is a remark.
out="$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1)" || fail "appstreamcli rejects $metainfo"
remarks="$(printf '%s\n' "$out" | grep -v 'Validation was successful')"
[ -z "$remarks" ] || fail "appstreamcli remarks on $metainfo: $remarks"

out="$(desktop-file-validate "$entry" 2>&1)" || fail "desktop-file-validate rejects $entry"
[ -z "$out" ] || fail "desktop-file-validate remarks on $entry: $out"

for page in "$@"; do
    out="$(mandoc -T lint -W warning "$page" 2>&1)" || fail "mandoc rejects $page"
    [ -z "$out" ] || fail "mandoc remarks on $page: $out"
done

[ "$failures" -eq 0 ] || exit 1
echo "desktop-files: the metainfo, the desktop entry and $# manual pages pass their validators"
