#!/usr/bin/env bash
# Regenerates the committed icon files from the drawing; run by hand after changing it.
# The 16 and 32 pixel icons are the hand-pixelled window icons; the larger sizes are rendered.
set -euo pipefail
cd "$(dirname "$0")/.."

svg=packaging/icons/hicolor/scalable/apps/org.tarnwick.Tarnwick.svg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 16 32 48 64 128 256; do
    dir=packaging/icons/hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    if [ -f "resources/icons/tarnwick-$size.png" ]; then
        cp "resources/icons/tarnwick-$size.png" "$work/$size.png"
    else
        rsvg-convert -w "$size" -h "$size" "$svg" -o "$work/$size.png"
    fi
    # Strip dates and text chunks so a re-run gives the same bytes.
    convert "$work/$size.png" -strip -define png:exclude-chunks=date,time "$dir/org.tarnwick.Tarnwick.png"
done

# Windows picks from these for the title bar, taskbar and Explorer.
convert "$work"/{16,32,48,256}.png -strip resources/tarnwick.ico
