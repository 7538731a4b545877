#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite; then builds the
# core, the command line and their tests in build-asan/ (or $EMFORCE_ASAN_BUILD_DIR) with the
# address and undefined-behaviour sanitizers and runs those tests again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
(cd "${EMFORCE_BUILD_DIR:-build}" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

asan_dir=${EMFORCE_ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$asan_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEMFORCE_SANITIZE=ON -DEMFORCE_GUI=OFF \
  -DEMFORCE_BENCH=OFF >/dev/null
cmake --build "$asan_dir" -j"$(nproc)"
cd "$asan_dir"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure -j"$(nproc)"
