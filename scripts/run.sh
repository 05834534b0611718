#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer from the repository root (it finds ./Icons/ there).
# Without a display the viewer runs on a virtual one: a screenshot goes to build/screenshot.png, then it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh xvfb xauth xdotool imagemagick
bash scripts/build.sh build

viewer=(build/bin/tavix-sor-viewer build/samples/demo.sor)

if [ -n "${DISPLAY:-}" ]; then
    exec "${viewer[@]}"
fi

shot=build/screenshot.png
rm -f "$shot"
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    "$@" &
    pid=$!
    # No window manager maximizes the window on a bare virtual display: it gets the whole screen here, as a
    # user would see it.
    window=$(timeout 30 xdotool search --sync --onlyvisible --classname tavix-sor-viewer | head -n 1)
    if [ -n "$window" ]; then
        xdotool windowmove "$window" 0 0 windowsize "$window" 100% 100%
    fi
    sleep 3
    import -window root "'"$shot"'"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
' viewer "${viewer[@]}"
if [ -f "$shot" ]; then
    echo "Screenshot of the viewer: $shot"
else
    echo "No screenshot was taken." >&2
    exit 1
fi
