#!/usr/bin/env bash
# Builds the fuzz targets with clang under AddressSanitizer and UBSan (in build-fuzz/) and runs
# every target CMake made (build-fuzz/fuzz/targets.txt, written by tw_add_fuzzer) on a copy of
# its corpus fuzz/corpus/<name without fuzz_>/ for a number of seconds (first argument, default
# 60), up to TW_FUZZ_JOBS (default: the number of cores) at a time. Exits non-zero when a target
# crashes or has no corpus; the input that crashed it is left in build-fuzz/fuzz-run/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${TW_FUZZ_JOBS:-$(nproc)}
# Memory limit of a run in MB (RSS and any single allocation), and the targets to run (all
# when empty), e.g. TW_FUZZ_MB=1024 TW_FUZZ_TARGETS=fuzz_images.
mb=${TW_FUZZ_MB:-4096}
only=${TW_FUZZ_TARGETS:-}
. tools/debian-packages.sh
# shellcheck disable=SC2086
tw_need $TW_FUZZ_PACKAGES
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTW_FUZZ=ON >/dev/null
if [ -n "$only" ]; then
  # shellcheck disable=SC2086
  cmake --build build-fuzz -j"$jobs" --target $only
  read -r -a targets <<<"$only"
else
  cmake --build build-fuzz -j"$(nproc)" --target fuzzers
  mapfile -t targets < <(grep -v '^$' build-fuzz/fuzz/targets.txt)
fi
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets in build-fuzz/fuzz/targets.txt"; exit 1; }

export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
run_one() {
  local target=$1 name=${1#fuzz_} work=build-fuzz/fuzz-run/$1
  rm -rf "$work"
  mkdir -p "$work/corpus"
  if ! compgen -G "fuzz/corpus/$name/*" >/dev/null; then
    echo "$target: no corpus in fuzz/corpus/$name/"
    return 1
  fi
  cp fuzz/corpus/"$name"/* "$work/corpus/"
  # -close_fd_mask=3: the targets' own messages go nowhere; crash reports still show.
  if build-fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb="$mb" -malloc_limit_mb="$mb" \
      -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" \
      >"$work/log" 2>&1; then
    echo "$target: $(grep -m1 -o 'number_of_executed_units: [0-9]*' "$work/log" | cut -d' ' -f2) runs, no crash"
  else
    echo "$target: CRASH (log and input in $work/)"
    tail -n 60 "$work/log"
    return 1
  fi
}

# A pool of $jobs runs: the next target starts as soon as one ends.
failed=0
running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=$((failed + 1))
    running=$((running - 1))
  fi
  run_one "$target" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=$((failed + 1))
  running=$((running - 1))
done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
