#!/usr/bin/env bash
# Renders the hicolor PNG sizes of Orvik's icon from its SVG (needs
# rsvg-convert, Debian's librsvg2-bin). The PNGs are kept in the repository so
# a build needs no SVG renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/hicolor"
for size in 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" scalable/apps/org.orvik.Orvik.svg \
        -o "${size}x${size}/apps/org.orvik.Orvik.png"
done
