#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks every installed file
# as a desktop, a software centre and man would read it.
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
here=$(dirname "$0")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || {
    cat "$prefix.log" >&2
    fail "cmake --install"
}
rm -f "$prefix.log"

# Exactly the expected files, nothing of the tests or benchmarks.
diff -u "$here/installed-files.txt" <(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "installed files differ from installed-files.txt"

desktop="$prefix/share/applications/org.orvik.Orvik.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=orvik' "$desktop" || fail "the menu entry does not start orvik"
grep -qx 'Icon=org.orvik.Orvik' "$desktop" || fail "the menu entry names another icon"
grep -qx 'Categories=Utility;Archiving;' "$desktop" || fail "categories"
appstreamcli validate --no-net "$prefix/share/metainfo/org.orvik.Orvik.metainfo.xml" ||
    fail "appstreamcli validate"
for size in 48 64 128 256; do
    file "$prefix/share/icons/hicolor/${size}x$size/apps/org.orvik.Orvik.png" |
        grep -q "PNG image data, $size x $size" || fail "the ${size}x$size icon is no such PNG"
done

# Both programs run from the prefix and tell their version, orvik without
# any display to connect to.
cli="$prefix/bin/orvik-cli"
[ "$("$cli" --version)" = "orvik-cli $version" ] || fail "orvik-cli --version"
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
[ "$("${nodisplay[@]}" "$prefix/bin/orvik" --version)" = "orvik $version" ] ||
    fail "orvik --version"
"${nodisplay[@]}" "$prefix/bin/orvik" --help | grep -q ORVIK_HOME || fail "orvik --help"
# orvik-cli prints through the module installed with it.
"$here/cli_print_check.sh" "$cli" || fail "orvik-cli as installed"

# The manual pages render, and orvik-cli's names every command and option
# that its usage texts name, its exit statuses and ORVIK_HOME.
render() {
    LC_ALL=C MANWIDTH=200 man -l "$1" 2>"$prefix/man.err" | col -bx
    [ ! -s "$prefix/man.err" ] || fail "man -l $1: $(cat "$prefix/man.err")"
}
[ "$(render "$prefix/share/man/man1/orvik.1.gz" | head -1 | tr -s ' ')" = "ORVIK(1) User Commands ORVIK(1)" ] ||
    fail "orvik.1 does not render"
page=$(render "$prefix/share/man/man1/orvik-cli.1.gz")
grep -q "^ *orvik-cli - " <<<"$page" || fail "orvik-cli.1 does not render"
grep -q "Orvik $version" <<<"$page" || fail "orvik-cli.1 names another version"
commands=$("$cli" help | sed -n 's/^  \([a-z]\+\) .*/\1/p')
[ "$(wc -w <<<"$commands")" -ge 11 ] || fail "orvik-cli help lists too few commands: $commands"
for command in $commands; do
    grep -qE "^ +$command( |\$)" <<<"$page" || fail "the manual page lacks the command $command"
    for option in $("$cli" "$command" --help | grep -oE -- '--[a-z-]+' | sort -u); do
        grep -qE -- "(^| )$option( |,|\$)" <<<"$page" ||
            fail "the manual page lacks $option of $command"
    done
done
for heading in "EXIT STATUS" ENVIRONMENT; do
    grep -q "^$heading" <<<"$page" || fail "the manual page has no $heading"
done
for status in 0 1 2; do
    sed -n '/^EXIT STATUS/,/^ENVIRONMENT/p' <<<"$page" | grep -qE "^ +$status +[a-z]" ||
        fail "the manual page does not explain exit status $status"
done
sed -n '/^ENVIRONMENT/,$p' <<<"$page" | grep -q "^ *ORVIK_HOME" || fail "ORVIK_HOME"
echo "install test: all installed files check out"
