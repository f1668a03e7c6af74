#!/usr/bin/env bash
# Builds the fuzz targets with clang under AddressSanitizer and UBSan (in build-fuzz/) and runs
# each on a copy of its corpus for a number of seconds (first argument, default 60), up to
# TW_FUZZ_JOBS (default: the number of cores) at a time. Exits non-zero when a target crashes;
# the input that crashed it is left in build-fuzz/fuzz-run/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${TW_FUZZ_JOBS:-$(nproc)}
. tools/debian-packages.sh
tw_need clang-14 libclang-rt-14-dev
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTW_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzzers

export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
targets=(projectfile images cgm convert settings rc clipboard_picture gridcsv companion editorload)
run_one() {
  local name=$1 work=build-fuzz/fuzz-run/$1
  rm -rf "$work"
  mkdir -p "$work/corpus"
  cp fuzz/corpus/"$name"/* "$work/corpus/"
  # -close_fd_mask=3: the targets' own messages go nowhere; crash reports still show.
  if build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
      -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" \
      >"$work/log" 2>&1; then
    echo "fuzz_$name: $(grep -m1 -o 'number_of_executed_units: [0-9]*' "$work/log" | cut -d' ' -f2) runs, no crash"
  else
    echo "fuzz_$name: CRASH (log and input in $work/)"
    tail -n 60 "$work/log"
    return 1
  fi
}

failed=0
pids=()
for name in "${targets[@]}"; do
  run_one "$name" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
    pids=()
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
