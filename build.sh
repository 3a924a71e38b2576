#!/usr/bin/env bash
# Sets up a Debian 12 machine for Orvik, builds it, and then starts it, runs
# every test or makes the Debian package.
#   ./build.sh run      install what is missing, build, start Orvik
#   ./build.sh test     install what is missing, build, run all tests
#   ./build.sh build    install what is missing, build
#   ./build.sh package  install what is missing, build, make orvik_VERSION_amd64.deb
set -euo pipefail

cd "$(dirname "$0")"
action=${1:-build}
build_dir=${ORVIK_BUILD_DIR:-build}
# libarchive: reads archives and disc images.
# libxxhash: XXH3-128 checksums of files' contents.
packages=(build-essential cmake qt6-base-dev libsqlite3-dev libgtest-dev libarchive-dev
    libxxhash-dev)
# The package's dependencies come from dpkg-shlibdeps, which CPack runs on
# the programs it finds with file.
[ "$action" != package ] || packages+=(dpkg-dev file)
# The tests read printed PDFs back with poppler's pdftotext, pdfinfo and
# pdffonts, and check the installed files and the package with the tools that
# read them. The real-display check runs orvik on Xvfb under openbox, drives
# it with xdotool, finds its windows with xwininfo and xprop (x11-utils),
# looks at screenshots with ImageMagick and prints in DejaVu Sans Mono. CI
# (.ci/run) checks the sources' format with clang-format. The start-up
# benchmark times orvik-cli's find against plocate on the same names, the
# filters benchmark against the sqlite3 program's LIKE scan. The package test
# has Debian's checker, lintian, look the package over. The archive tests
# make their archives and disc images with zip, 7z, xorriso, zstd and xz.
# The export test opens the exported web page in chromium, headless; the
# checksum test and benchmark hold the add's checksums against xxh128sum
# (xxhash). A test of Cancel builds a compressed archive with zlib; a test
# of the update counts the files it opens with strace.
[ "$action" != test ] ||
    packages+=(zlib1g-dev strace poppler-utils desktop-file-utils appstream man-db dpkg-dev file
        xvfb openbox xdotool imagemagick x11-utils fonts-dejavu-core clang-format
        plocate sqlite3 lintian zip p7zip-full xorriso zstd xz-utils xxhash
        chromium)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" </dev/null
fi

# ORVIK_WERROR=ON (as CI sets it) makes every compiler warning an error.
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    ${ORVIK_WERROR:+-DORVIK_WERROR="$ORVIK_WERROR"} >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

case "$action" in
run)
    exec "$build_dir/app/orvik"
    ;;
test)
    cd "$build_dir"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
package)
    cd "$build_dir"
    cpack -G DEB
    ;;
build) ;;
*)
    echo "usage: $0 run|test|build|package" >&2
    exit 2
    ;;
esac
