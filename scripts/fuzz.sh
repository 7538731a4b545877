#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each in turn for a given time:
#   scripts/fuzz.sh [SECONDS [TARGET...]]   (targets: numbers parameter_file data_file command_line run bessel record)
# Each starts from its kept corpus fuzz/corpus/<target> and gathers new inputs in
# build-fuzz/corpus/<target>; failing inputs go to build-fuzz/artifacts/<target>/. With
# EMFORCE_FUZZ_MERGE=1 the kept corpus afterwards takes the new inputs that add coverage.
# The run target's outcome counts go to build-fuzz/run-outcomes.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
if (($#)); then shift; fi
targets=("$@")
((${#targets[@]})) || targets=(numbers parameter_file data_file command_line run bessel)

scripts/install-deps.sh clang libclang-rt-dev
build_dir=build-fuzz
CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEMFORCE_FUZZ=ON \
  -DEMFORCE_GUI=OFF -DEMFORCE_BENCH=OFF -DEMFORCE_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j2

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in "${targets[@]}"; do
  kept=fuzz/corpus/$target
  work=$build_dir/corpus/$target
  artifacts=$build_dir/artifacts/$target
  mkdir -p "$kept" "$work" "$artifacts"
  echo "== $target: $seconds s"
  max_len=1024
  case $target in parameter_file | record) max_len=8192 ;; esac
  stats=()
  [ "$target" = run ] && stats=(env EMFORCE_FUZZ_STATS="$build_dir/run-outcomes.txt")
  "${stats[@]}" "$build_dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=$max_len -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$work" "$kept" 2>&1 | grep -E '^#[0-9]+[[:space:]]+DONE|^stat::|ERROR|fuzz check failed|exception escaped|runtime error|Test unit' \
    || status=1
  if [ "${EMFORCE_FUZZ_MERGE:-0}" = 1 ]; then
    "$build_dir/fuzz/fuzz_$target" -merge=1 -max_len=$max_len "$kept" "$work" >/dev/null 2>&1
  fi
done
exit $status
