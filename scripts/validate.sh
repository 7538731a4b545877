#!/usr/bin/env bash
# Checks emforce-cli against the induction benchmark's published tables and against an
# independent finite-element solution (Gmsh + GetDP): a stack of regions (a conducting core
# under a layer) and every case of validation/cases.txt on three meshes, printed as tables;
# exits non-zero when a case
# differs from the finest mesh by more than the change between the two finest meshes. Extra
# arguments go to validation/fe_check.py (--formulation legacy, --meshes 1,2, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build_dir=${EMFORCE_BUILD_DIR:-build}
[ -f "$build_dir/CMakeCache.txt" ] || cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target emforce-cli >/dev/null
# The induction benchmark's published tables against the example records (three- and
# single-phase), then the finite-element table.
/usr/bin/python3 validation/team30a.py --cli "$build_dir/src/cli/emforce-cli"
/usr/bin/python3 validation/fe_stack.py --cli "$build_dir/src/cli/emforce-cli" --jobs "$(nproc)"
exec /usr/bin/python3 validation/fe_check.py --cli "$build_dir/src/cli/emforce-cli" \
  --table validation/cases.txt --jobs "$(nproc)" "$@"
