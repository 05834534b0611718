#!/usr/bin/env bash
# Builds the Debian package from the build and checks it: its control fields and dependencies, the files it
# holds and their owners, lintian's verdict, the manual pages and the AppStream metadata; then unpacks it into a
# scratch root and runs the programs from there.
# Usage: package_test.sh BUILD_DIR CPACK VERSION APPSTREAM_ID SAMPLE.sor
set -uo pipefail
build=$1
cpack=$2
version=$3
appstream_id=$4
sample=$5

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
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

skip() { # what is not checked, why
    echo "SKIP: $1 ($2)"
}

# Into a folder of its own, so that a package made by hand in the build is left alone.
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    echo "0 passed, 1 failed"
    exit 1
fi
deb=$(ls "$tmp"/out/tavix-sor-viewer_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
root="$tmp/root"
dpkg-deb -x "$deb" "$root"

revision=$(zcat "$root/usr/share/doc/tavix-sor-viewer/changelog.Debian.gz" 2>/dev/null |
    sed -n '1s/^tavix-sor-viewer (\([^)]*\)).*/\1/p')
check "package name" test "$(field Package)" = tavix-sor-viewer
check "version as the changelog says" test "$(field Version)" = "$revision"
check "the changelog's version is the project's" test "${revision%-*}" = "$version"
check "file name" test "$(basename "$deb")" = "tavix-sor-viewer_${revision}_$(dpkg --print-architecture).deb"
check "section" test "$(field Section)" = science
check "maintainer" test -n "$(field Maintainer)"
check "long description" test "$(field Description | wc -l)" -gt 3
depends=$(field Depends)
for package in libc6 libstdc++6 libqt5core5a libqt5widgets5 libqt5gui5 libqt5svg5 libqt5printsupport5 libkchart2; do
    check "depends on $package" grep -q "\(^\|, \)$package\( \|,\|$\)" <<<"$depends"
done

dpkg-deb -c "$deb" >"$tmp/contents"
listed() { grep -q " \./$1\$" "$tmp/contents"; }
for file in usr/bin/tavix-sor-viewer usr/bin/sordump usr/bin/sorsynth \
    usr/libexec/tavix-sor-viewer/tavix-sor-viewer \
    usr/share/tavix-sor-viewer/Icons/otdr_splice.svg usr/share/tavix-sor-viewer/Icons/Application_Icon.png \
    usr/share/applications/tavix-sor-viewer.desktop usr/share/mime/packages/tavix-sor-viewer.xml \
    usr/share/icons/hicolor/256x256/apps/tavix-sor-viewer.png \
    usr/share/icons/hicolor/scalable/apps/tavix-sor-viewer.svg \
    usr/share/man/man1/tavix-sor-viewer.1.gz usr/share/man/man1/sordump.1.gz usr/share/man/man1/sorsynth.1.gz \
    "usr/share/metainfo/$appstream_id.metainfo.xml" \
    usr/share/doc/tavix-sor-viewer/copyright usr/share/doc/tavix-sor-viewer/changelog.Debian.gz; do
    check "holds /$file" listed "$file"
done
check "everything under /usr" test -z "$(awk '{print $6}' "$tmp/contents" | grep -v '^\./$' | grep -v '^\./usr/')"
check "everything owned by root" test -z "$(awk '$2 != "root/root"' "$tmp/contents")"
caches='mime\.cache|mimeinfo\.cache|icon-theme\.cache|/mime/[^p]'
check "no desktop caches" test -z "$(grep -E "$caches" "$tmp/contents")"

if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1
    check "lintian finds no error" test -z "$(grep '^E: ' "$tmp/lintian.log")"
    grep '^[EW]: ' "$tmp/lintian.log"
else
    skip "lintian" "not installed"
fi

entry="$root/usr/share/applications/tavix-sor-viewer.desktop"
check "desktop entry starts the command in /usr/bin" grep -qx 'Exec=/usr/bin/tavix-sor-viewer %F' "$entry"
for page in tavix-sor-viewer sordump sorsynth; do
    check "manual page $page(1)" zgrep -q "^\.SH NAME" "$root/usr/share/man/man1/$page.1.gz"
    check "manual page $page(1) names it" zgrep -q "^$page \\\\- " "$root/usr/share/man/man1/$page.1.gz"
done
check "manual page tavix-sor-viewer(1) lists the options" zgrep -qF -- '\-\-version' \
    "$root/usr/share/man/man1/tavix-sor-viewer.1.gz"
metainfo="$root/usr/share/metainfo/$appstream_id.metainfo.xml"
check "AppStream release of this version" grep -q "<release version=\"$version\"" "$metainfo"
if command -v appstreamcli >/dev/null; then
    check "AppStream metadata valid" appstreamcli validate --no-net "$metainfo" >"$tmp/appstream.log"
else
    skip "AppStream validation" "appstreamcli not installed"
fi

# The programs run from the scratch root; the libraries they link are the system's.
run() { env -i PATH="$PATH" HOME="$tmp/home" QT_QPA_PLATFORM=offscreen "$@" 2>&1; }
check "sordump --version" test "$(run "$root/usr/bin/sordump" --version)" = "sordump (TAVIX SOR-Viewer) $version"
check "sorsynth --version" test "$(run "$root/usr/bin/sorsynth" --version)" = "sorsynth (TAVIX SOR-Viewer) $version"
check "tavix-sor-viewer --version" \
    test "$(run "$root/usr/bin/tavix-sor-viewer" --version)" = "TAVIX SOR-Viewer $version"
check "sordump reads a file" test "$(run "$root/usr/bin/sordump" --csv "$sample" | head -n 1)" = "distance_km,level_db"
run env TAVIX_QUIT_AFTER_START=1 timeout 60 "$root/usr/bin/tavix-sor-viewer" "$sample" >"$tmp/viewer.log"
check "the viewer opens a file and ends normally" test $? -eq 0
check "the viewer parsed the file" grep -q 'File successfully parsed.' "$tmp/viewer.log"
check "the viewer found its pictures" test -f "$tmp/home/.local/share/tavix-sor-viewer/Icons/otdr_splice.svg"

if [ "$failed" -ne 0 ]; then
    for log in "$tmp"/*.log; do
        echo "--- $log" >&2
        cat "$log" >&2
    done
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
