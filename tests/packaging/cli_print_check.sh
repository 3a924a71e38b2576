#!/usr/bin/env bash
# Checks an installed orvik-cli: --print finds the print module where it was
# installed and writes a PDF without a display; a find loads no GUI library.
#   cli_print_check.sh ORVIK_CLI
set -euo pipefail
cli=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
export ORVIK_HOME=$home
"$cli" create ORVIK >/dev/null 2>&1 || fail "orvik-cli create"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$cli" volumes --print "$home/volumes.pdf" >/dev/null 2>"$home/print.err" || status=$?
# An empty catalogue lists no volume (status 1) and prints the heading alone.
[ "$status" = 1 ] || fail "orvik-cli --print exit status $status: $(cat "$home/print.err")"
[ "$(head -c 5 "$home/volumes.pdf")" = "%PDF-" ] || fail "orvik-cli --print wrote no PDF"
LD_DEBUG=libs "$cli" find x >/dev/null 2>"$home/libs.txt" || true
grep -q "libQt6Core" "$home/libs.txt" || fail "LD_DEBUG=libs shows no library loaded"
! grep -q "libQt6Gui" "$home/libs.txt" || fail "orvik-cli find loads libQt6Gui"
