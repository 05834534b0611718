#!/usr/bin/env bash
# Makes the README's pictures in docs/ on a virtual display: the start tab, a trace with both cursors, the
# advanced block tree, a comparison (once the program has comparison tabs), a cable tab and the options window.
# Usage: scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--on-display" ]; then
    bash scripts/deps.sh xvfb xauth xdotool imagemagick
    bash scripts/build.sh build
    exec xvfb-run -a -s "-screen 0 1600x1000x24" bash "$0" --on-display
fi

root=$PWD
viewer="$root/build/bin/tavix-sor-viewer"
demo="$root/build/samples/demo.sor"
docs="$root/docs"
tmp=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
mkdir -p "$docs"

# Starts the viewer in a fresh working directory (factory settings, the repository's icons), as large as the
# screen: there is no window manager to maximise it.
start() { # file...
    local work
    work=$(mktemp -d -p "$tmp")
    ln -s "$root/Icons" "$work/Icons"
    [ -n "${work_files:-}" ] && cp $work_files "$work/"
    (cd "$work" && exec "$viewer" "$@" >/dev/null 2>&1) &
    pid=$!
    window=$(xdotool search --sync --classname tavix-sor-viewer | head -n 1)
    xdotool windowsize "$window" 1600 1000
    sleep 2
    xdotool windowfocus --sync "$window"
}

stop() {
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
}

shot() { # name
    import -window root "PNG8:$docs/$1.png"
    if command -v optipng >/dev/null; then
        optipng -quiet -o2 "$docs/$1.png"
    fi
    echo "docs/$1.png"
}

ctrl_click() { # x y button
    xdotool mousemove "$1" "$2" keydown ctrl click "$3" keyup ctrl
    sleep 0.5
}

start
shot start-tab
stop

# Cursor A with ctrl+left click, B with ctrl+right click.
start "$demo"
ctrl_click 640 500 1
ctrl_click 1150 500 3
sleep 1
shot single-trace
stop

# Alt+A before opening: the block tree lists every block and field.
start
xdotool key alt+a
sleep 0.5
xdotool mousemove 45 16 click 1 # "Open File"
sleep 2
xdotool type --delay 20 "$demo"
xdotool key Return
sleep 3
xdotool mousemove 322 500 mousedown 1 mousemove 600 500 mousemove 800 500 mouseup 1 # wider left panel
xdotool mousemove 200 418 mousedown 1 mousemove 200 600 mousemove 200 760 mouseup 1 # taller block tree
sleep 0.5
xdotool mousemove 81 392 click --repeat 2 --delay 80 1 # open ".sor Section: Fxd"
sleep 1
shot advanced-block-tree
stop

# Several files on the command line open in one comparison tab, once the program has them.
if grep -q "Comparison with " "$viewer"; then
    second="$tmp/second.sor"
    "$root/build/bin/sorsynth" --samples 30000 --spacing 1 --events 6 --seed 8 "$second" >/dev/null
    third="$tmp/third.sor"
    "$root/build/bin/sorsynth" --samples 30000 --spacing 1 --events 5 --seed 21 "$third" >/dev/null
    start "$demo" "$second" "$third"
    sleep 1
    ctrl_click 700 500 1
    ctrl_click 1200 500 3
    xdotool mousemove 90 96 click 1 # the first trace of the list: its events below
    sleep 1
    shot comparison
    stop
else
    echo "No comparison tabs in this build: docs/comparison.png left as it is."
fi

# A folder of traces in a cable tab, judged by stricter limits than the defaults; one file cut short. Then the
# dark theme, with the reasons of a failing fibre in the verdict's tool tip.
cable="$tmp/cable-A-B"
mkdir -p "$cable"
for i in $(seq 1 24); do
    "$root/build/bin/sorsynth" --samples 30000 --events $((3 + i % 10)) --seed "$i" \
        "$cable/$(printf 'fibre-%03d-1310.sor' "$i")" >/dev/null
done
head -c 400 "$cable/fibre-001-1310.sor" >"$cable/fibre-025-1310.sor"
printf 'MaxSpliceLoss:0.2\nMaxConnectorLoss:0.45\nMaxAttenuation1310:0.35\n' >"$tmp/thresholds.ini"
work_files="$tmp/thresholds.ini" start "$cable"
sleep 1
shot cable-tab
xdotool mousemove 440 16 click 1 # "Theme": the dark theme
sleep 1
xdotool mousemove 180 120 sleep 0.3 mousemove 182 121 # the verdict of fibre-001
sleep 2
shot cable-tab-dark
stop

# F1 opens the options window centred on the main window; its tabs sit at its top left.
start "$demo"
xdotool key F1
sleep 1.5
options=$(xdotool search --name "TAVIX SOR-Viewer Menu" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$options")"
shot options-help
xdotool mousemove 440 16 click 1 # "Theme": the dark theme
xdotool mousemove $((X + 153)) $((Y + 14)) click 1 # "Colour"
sleep 1.5
shot options-colour-dark
stop
