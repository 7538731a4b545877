#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the built-in default data: the
# window where a display is available, else the same calculation on the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${EMFORCE_BUILD_DIR:-build}
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "no display for the window: running the default calculation with emforce-cli instead"
elif [ -x "$build_dir/src/ui/emforce" ]; then
  exec "$build_dir/src/ui/emforce" "$@"
else
  echo "the window is not built (EMFORCE_GUI=OFF): running the default calculation with emforce-cli"
fi
exec "$build_dir/src/cli/emforce-cli" "$@"
