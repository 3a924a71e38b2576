#!/usr/bin/env bash
# Builds the Debian package with CPack and reads it back with dpkg-deb: its
# name, version, the dependencies dpkg-shlibdeps found, its files and its
# changelog; then has Debian's checker, lintian, look it over.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
here=$(dirname "$0")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log" >&2
    fail "cpack"
}
deb="$out/orvik_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$out")"

info=$(dpkg-deb -I "$deb")
echo "$info"
field() { sed -n "s/^ $1: //p" <<<"$info"; }
[ "$(field Package)" = orvik ] || fail "package name"
[ "$(field Version)" = "$version" ] || fail "package version"
[ "$(field Architecture)" = amd64 ] || fail "architecture"
depends=$(field Depends)
# Versioned, as only dpkg-shlibdeps writes them, for every library linked.
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libsqlite3-0; do
    grep -qE "(^|, )${library//+/\\+} \(>= [^)]+\)" <<<"$depends" || fail "Depends lacks $library"
done

contents=$(dpkg-deb -c "$deb")
echo "$contents"
diff -u <(sed 's|^|usr/|' "$here/installed-files.txt") \
    <(awk '$1 !~ /^d/ {print $6}' <<<"$contents" | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the package's files differ from installed-files.txt under /usr"
awk '{print $2}' <<<"$contents" | grep -qv '^root/root$' && fail "a file not owned by root"
awk '$1 !~ /^d/ && $6 ~ /usr\/bin\// {print $1}' <<<"$contents" | grep -qv '^-rwxr-xr-x$' &&
    fail "a program that is not executable by all"
# Its orvik-cli prints from where the package puts it.
dpkg-deb -x "$deb" "$out/root"
"$here/cli_print_check.sh" "$out/root/usr/bin/orvik-cli" || fail "orvik-cli as packaged"
# The changelog's first entry is this version, so the two never drift apart.
gunzip -c "$out/root/usr/share/doc/orvik/changelog.gz" >"$out/changelog"
changelog_version=$(dpkg-parsechangelog -l "$out/changelog" -S Version)
[ "$changelog_version" = "$version" ] ||
    fail "the changelog's first entry is $changelog_version, not $version"
# Neither errors nor warnings: a warning kept on purpose would be overridden
# and named in the README with its reason.
command -v lintian >/dev/null || fail "lintian is not installed (./build.sh test installs it)"
lintian --fail-on error,warning "$deb" || fail "lintian"
echo "package test: $(basename "$deb") checks out"
