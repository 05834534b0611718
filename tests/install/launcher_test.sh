#!/usr/bin/env bash
# Installs the build into a temporary prefix (with a blank in its name) and checks the installed files, the
# desktop entry, and the launcher: a working directory per user with the icons, file arguments made absolute,
# settings kept from one start to the next.
# Usage: launcher_test.sh BUILD_DIR CMAKE SAMPLE.sor
set -uo pipefail
build=$1
cmake=$2
sample=$3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/pre fix"
passed=0
failed=0

check() { # description, command...
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $what" >&2
    fi
}

# The sanitizer options of a sanitizer build pass through.
sanitizers=()
for name in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
    if [ -n "${!name:-}" ]; then
        sanitizers+=("$name=${!name}")
    fi
done

# Starts the installed launcher in a folder with the given arguments; the program quits as soon as its event loop
# has opened the files, as a user's quit does.
start_in() { # folder, arguments...
    local folder=$1
    shift
    (cd "$folder" && env -i PATH="$PATH" HOME="$tmp/home" QT_QPA_PLATFORM=offscreen TAVIX_QUIT_AFTER_START=1 \
        "${sanitizers[@]}" ${environment[@]+"${environment[@]}"} timeout 60 "$prefix/bin/tavix-sor-viewer" "$@")
}

# Starts the installed launcher from the sample's folder with the sample's bare name.
start() { # environment assignments...
    local environment=("$@")
    start_in "$(dirname "$sample")" "$(basename "$sample")"
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    echo "0 passed, 1 failed"
    exit 1
fi

share="$prefix/share"
check "launcher installed" test -x "$prefix/bin/tavix-sor-viewer"
check "program installed" test -x "$prefix/libexec/tavix-sor-viewer/tavix-sor-viewer"
for icon in otdr_splice.svg otdr_connector.svg otdr_end_connector.svg chart_zoom.svg cross.png \
    tavix_logo_big.png tavix_logo_small.png Application_Icon.png; do
    check "icon $icon" test -f "$share/tavix-sor-viewer/Icons/$icon"
done
check "no icon sources" test ! -e "$share/tavix-sor-viewer/Icons/src"
check "application icon, 256 px" test -f "$share/icons/hicolor/256x256/apps/tavix-sor-viewer.png"
check "application icon, scalable" test -f "$share/icons/hicolor/scalable/apps/tavix-sor-viewer.svg"

entry="$share/applications/tavix-sor-viewer.desktop"
check "desktop entry" test -f "$entry"
check "Exec names the launcher, quoted for the blank" \
    test "$(grep '^Exec=' "$entry")" = "Exec=\"$prefix/bin/tavix-sor-viewer\" %F"
check "desktop entry opens .sor files" grep -qx 'MimeType=application/x-sor;' "$entry"
check "desktop entry icon" grep -qx 'Icon=tavix-sor-viewer' "$entry"
if command -v desktop-file-validate >/dev/null; then
    check "desktop entry valid" desktop-file-validate "$entry"
fi
mime="$share/mime/packages/tavix-sor-viewer.xml"
check "MIME type" grep -q 'type="application/x-sor"' "$mime"
check "MIME glob *.sor" grep -q 'pattern="\*\.sor"' "$mime"
check "MIME glob *.SOR" grep -q 'pattern="\*\.SOR"' "$mime"

# First start: the working directory appears with the icons, the relative file argument opens, settings written.
data="$tmp/data"
work="$data/tavix-sor-viewer"
start XDG_DATA_HOME="$data" >"$tmp/run1.log" 2>&1
check "first start exits normally" test $? -eq 0
check "file argument opened from the working directory" grep -q 'File successfully parsed.' "$tmp/run1.log"
check "icons linked into the working directory" test -L "$work/Icons" -a -f "$work/Icons/otdr_splice.svg"
check "settings written on quit" test "$(head -n 1 "$work/setting.ini" 2>/dev/null)" = "Theme:Bright"
check "eight settings lines" test "$(wc -l <"$work/setting.ini" 2>/dev/null)" -eq 8

# Second start: what the user changed is read and written back.
sed -i -e 's/^Theme:.*/Theme:Dark/' -e 's/^GraphColour:.*/GraphColour:#123456/' "$work/setting.ini"
start XDG_DATA_HOME="$data" >"$tmp/run2.log" 2>&1
check "second start exits normally" test $? -eq 0
check "theme kept" grep -qx 'Theme:Dark' "$work/setting.ini"
check "graph colour kept" grep -qx 'GraphColour:#123456' "$work/setting.ini"

# An Icons folder of the user's own is left alone.
rm "$work/Icons"
mkdir "$work/Icons"
start XDG_DATA_HOME="$data" >"$tmp/run3.log" 2>&1
check "user's Icons folder kept" test -d "$work/Icons" -a ! -L "$work/Icons"

# Without XDG_DATA_HOME the working directory goes under ~/.local/share.
start >"$tmp/run4.log" 2>&1
check "default data home" test -f "$tmp/home/.local/share/tavix-sor-viewer/setting.ini"

# Options pass through; after "--" a relative name beginning with "-" is a file, made absolute like the others.
dashed="$tmp/dashed"
mkdir -p "$dashed"
cp "$sample" "$dashed/-x.sor"
start_in "$dashed" --version >"$tmp/run5.log" 2>&1
check "--version through the launcher" grep -qx 'TAVIX SOR-Viewer [0-9.]*' "$tmp/run5.log"
start_in "$dashed" -- -x.sor >"$tmp/run6.log" 2>&1
check "-- -x.sor opened from the working directory" grep -q 'File successfully parsed.' "$tmp/run6.log"

if [ "$failed" -ne 0 ]; then
    for log in "$tmp"/run*.log; do
        echo "--- $log" >&2
        cat "$log" >&2
    done
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
