#!/usr/bin/env bash
# Starts the window on a virtual display, runs the default calculation and saves a PNG of it.
# Usage: scripts/screenshot.sh [FILE]   (default: screenshot.png in the build directory)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null || { echo "screenshot.sh needs xvfb-run (Debian package xvfb)" >&2; exit 1; }
build_dir=${EMFORCE_BUILD_DIR:-build}
program="$build_dir/src/ui/emforce"
[ -x "$program" ] || scripts/build.sh
file=$(realpath -m "${1:-$build_dir/screenshot.png}")
xvfb-run -a -s "-screen 0 1400x1000x24" "$program" --autorun-and-screenshot "$file"
echo "saved $file"
