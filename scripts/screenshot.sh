#!/usr/bin/env bash
# Starts the window on a virtual display and saves a PNG of it: by default the main window after
# the default calculation, with --mmf the MMF window after F5 (spatial distribution) and with
# --mmf-spectrum the MMF window showing the harmonic spectrum, with --all-curves the main window
# after a run of every curve.
# Usage: scripts/screenshot.sh [--mmf | --mmf-spectrum | --all-curves] [FILE]
#        (default FILE: screenshot.png, mmf.png, mmf-spectrum.png or all-curves.png in the build
#        directory)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null || { echo "screenshot.sh needs xvfb-run (Debian package xvfb)" >&2; exit 1; }
build_dir=${EMFORCE_BUILD_DIR:-build}
program="$build_dir/src/ui/emforce"
[ -x "$program" ] || scripts/build.sh
case "${1:-}" in
  --mmf) shift; name=mmf.png; options=(--mmf-screenshot) ;;
  --mmf-spectrum) shift; name=mmf-spectrum.png; options=(--mmf-spectrum --mmf-screenshot) ;;
  --all-curves) shift; name=all-curves.png; options=(--all-curves --autorun-and-screenshot) ;;
  *) name=screenshot.png; options=(--autorun-and-screenshot) ;;
esac
file=$(realpath -m "${1:-$build_dir/$name}")
xvfb-run -a -s "-screen 0 1400x1000x24" "$program" "${options[@]}" "$file"
echo "saved $file"
