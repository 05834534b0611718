#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer from the repository root (it finds ./Icons/ there).
# Without a display the viewer runs on a virtual one: a screenshot goes to build/screenshot.png, then it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh xvfb xauth imagemagick
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
    sleep 5
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
