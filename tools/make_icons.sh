#!/usr/bin/env bash
# Renders the pictures under Icons/src/ into the PNG files of Icons/ (the SVG event icons are used as they are).
# Usage: tools/make_icons.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
cmake -S . -B "$dir" >/dev/null
cmake --build "$dir" --target svg2png >/dev/null
export QT_QPA_PLATFORM=offscreen

render() { # source, target, width, height
    "$dir/bin/svg2png" "Icons/src/$1" "Icons/$2" "$3" "$4"
    echo "Icons/$2 ($3x$4)"
}

render application_icon.svg Application_Icon.png 256 256
render tavix_logo_big.svg tavix_logo_big.png 1600 900
render tavix_logo_small.svg tavix_logo_small.png 240 80
render cross.svg cross.png 32 32
