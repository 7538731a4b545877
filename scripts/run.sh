#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the built-in default data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${EMFORCE_BUILD_DIR:-build}
if [ -x "$build_dir/src/cli/emforce-cli" ]; then
  exec "$build_dir/src/cli/emforce-cli" "$@"
fi
echo "built; the calculation front ends are not there yet"
