#!/usr/bin/env bash
# Installs what is missing, builds, and shows the bundled sample trace.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
build/bin/sordump build/samples/demo.sor
