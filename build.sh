#!/usr/bin/env bash
# Sets up a Debian 12 machine for Orvik, builds it, and then either starts it
# or runs every test.
#   ./build.sh run    install what is missing, build, start Orvik
#   ./build.sh test   install what is missing, build, run all tests
#   ./build.sh build  install what is missing, build
set -euo pipefail

cd "$(dirname "$0")"
action=${1:-build}
build_dir=${ORVIK_BUILD_DIR:-build}
packages=(build-essential cmake qt6-base-dev libsqlite3-dev libgtest-dev)
# The tests read printed PDFs back with poppler's pdftotext and pdfinfo.
[ "$action" != test ] || packages+=(poppler-utils)

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

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

case "$action" in
run)
    exec "$build_dir/app/orvik"
    ;;
test)
    cd "$build_dir"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
build) ;;
*)
    echo "usage: $0 run|test|build" >&2
    exit 2
    ;;
esac
