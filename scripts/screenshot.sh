#!/usr/bin/env bash
# Starts the window on a virtual display with a window manager (so that it is activated as on a
# desktop) and saves a PNG of the screen: by default after the default calculation.
# Usage: scripts/screenshot.sh [--size WxH] [--scale FACTOR] [CASE OPTIONS] [FILE]
#   --size WxH        the virtual screen (default 1600x1100)
#   --scale FACTOR    QT_SCALE_FACTOR of the window (e.g. 1.5)
#   --mmf | --mmf-spectrum     the MMF window after F5 (distribution or harmonic spectrum)
#   --all-curves | --synchronous | --errors-page | --sample CAPTION | --geometry NAME |
#   --set ROW=TEXT | --then-set ROW=TEXT | --edit OBJECTNAME=TEXT | --click OBJECTNAME |
#   --no-run | --domain N | --harmonic N | --read-record FILE | --open-menu CAPTION |
#   --then-cancel | --help-window | --results-page | --regions-page
#                     the case, as emforce --help describes them (--then-set 2=-0,001 shows
#                     the default run, then a refused run with its message; --edit CB44=20
#                     --click Button66 gives the MMF chart's left title 20 pt)
# FILE defaults to screenshot.png (mmf.png, mmf-spectrum.png, all-curves.png) in the build
# directory. Each run starts without remembered window places.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null || { echo "screenshot.sh needs xvfb-run (Debian package xvfb)" >&2; exit 1; }
command -v openbox >/dev/null || scripts/install-deps.sh openbox
build_dir=${EMFORCE_BUILD_DIR:-build}
program="$build_dir/src/ui/emforce"
[ -x "$program" ] || scripts/build.sh
size=1600x1100
scale=1
name=screenshot.png
mode=--autorun-and-screenshot
options=()
file=
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size=$2; shift 2 ;;
    --scale) scale=$2; shift 2 ;;
    --mmf) mode=--mmf-screenshot; name=mmf.png; shift ;;
    --mmf-spectrum) mode=--mmf-screenshot; name=mmf-spectrum.png; options+=(--mmf-spectrum); shift ;;
    --all-curves) name=all-curves.png; options+=("$1"); shift ;;
    --synchronous | --errors-page | --no-run | --then-cancel | --help-window | --results-page | \
      --regions-page)
      options+=("$1"); shift ;;
    --sample | --set | --then-set | --edit | --click | --domain | --harmonic | --read-record | \
      --open-menu) options+=("$1" "$2"); shift 2 ;;
    --geometry) options+=(--motor-geometry "$2"); shift 2 ;;
    *) file=$1; shift ;;
  esac
done
file=$(realpath -m "${file:-$build_dir/$name}")
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
XDG_CONFIG_HOME=$settings QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 ${size}x24" \
  sh -c 'openbox >/dev/null 2>&1 & sleep 1; exec "$@"' sh "$program" "${options[@]}" "$mode" "$file"
echo "saved $file"
