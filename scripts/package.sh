#!/usr/bin/env bash
# Builds the Debian package tavix-sor-viewer_VERSION-REVISION_ARCH.deb from build/ (or the directory given), after
# installing what is missing and bringing the build up to date; prints the package's path.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
bash scripts/deps.sh
bash scripts/build.sh "$dir"
(cd "$dir" && cpack -G DEB) | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
