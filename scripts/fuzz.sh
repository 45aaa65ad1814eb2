#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, replays each committed corpus, then fuzzes the codec,
# the parameters file, the receive log and the settings string for FUZZ_SECONDS (default 60)
# each, two at a time, and the port check briefly. New inputs go to build/fuzz/corpus, never to
# fuzz/corpus. A finding fails the script and prints its input.
# Usage: [FUZZ_SECONDS=n] scripts/fuzz.sh [extra CMake configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run fuzz
# Skipped on a machine without clang, but never in CI, where a skip would read as a pass.
if ! command -v clang++ >/dev/null; then
  if [[ "${CI:-}" == true ]]; then
    echo "fuzz.sh: clang++ is not installed" >&2
    exit 1
  fi
  echo "fuzz.sh: clang++ is not installed: the fuzz targets are skipped" >&2
  exit 0
fi

cmake --preset fuzz "$@"
cmake --build --preset fuzz

seconds=${FUZZ_SECONDS:-60}
check_seconds=10
build=$PWD/build/fuzz
export UBSAN_OPTIONS=print_stacktrace=1
# The parameters file's save calls fsync, which costs nothing on a file system in memory.
if [[ -d /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi

# Prints what a failed run left: the end of its log and each input it kept, in base64.
report() {
  local target=$1
  tail -n 60 "$build/logs/$target.log"
  for input in "$build/artifacts/$target"/*; do
    [[ -e "$input" ]] || continue
    echo "fuzz.sh: $target finding $input ($(stat -c %s "$input") bytes), base64:"
    base64 "$input"
    echo "fuzz.sh: reproduce with: base64 -d > finding && build/fuzz/fuzz/$target finding"
  done
}

# fuzz TARGET SECONDS: fuzzes into a scratch corpus seeded from the committed one. The value
# profile rewards inputs that bring compared values closer, which finds boundaries such as
# a log of exactly 2048 bytes or the port number 255.
fuzz() {
  local target=$1
  mkdir -p "$build/corpus/$target" "$build/artifacts/$target"
  "$build/fuzz/$target" -max_total_time="$2" -timeout=10 -use_value_profile=1 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target/" \
    "$build/corpus/$target" "$PWD/fuzz/corpus/$target" >"$build/logs/$target.log" 2>&1
}

targets=(line_codec_fuzzer parameters_file_fuzzer receive_log_fuzzer port_settings_fuzzer
  port_number_check_fuzzer)
rm -rf "$build/artifacts" "$build/logs"
mkdir -p "$build/logs"

failed=()
for target in "${targets[@]}"; do
  if ! "$build/fuzz/$target" "fuzz/corpus/$target"/* >"$build/logs/$target.log" 2>&1; then
    tail -n 60 "$build/logs/$target.log"
    failed+=("$target (corpus)")
  fi
done
if ((${#failed[@]} > 0)); then
  echo "fuzz.sh: the committed corpus fails: ${failed[*]}" >&2
  exit 1
fi

# Two targets at a time, one for each core.
run_pair() {
  local pair=("$@") pids=() i
  for i in "${!pair[@]}"; do
    fuzz "${pair[$i]}" "$seconds" &
    pids+=($!)
  done
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || failed+=("${pair[$i]}")
  done
}
run_pair line_codec_fuzzer parameters_file_fuzzer
run_pair receive_log_fuzzer port_settings_fuzzer
fuzz port_number_check_fuzzer "$check_seconds" || failed+=(port_number_check_fuzzer)

for target in "${targets[@]}"; do
  echo "fuzz.sh: $target: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$build/logs/$target.log" || echo 'no final line')"
done
for target in "${failed[@]}"; do
  report "$target"
done
if ((${#failed[@]} > 0)); then
  echo "fuzz.sh: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: no findings"
