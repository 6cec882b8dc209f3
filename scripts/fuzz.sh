#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs each for the
# given number of seconds (default 10), starting from the committed seeds in
# fuzz/corpus/. New inputs go to build/fuzz/corpus/, findings to
# build/fuzz/findings/. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(actions forward_fit compare_version command_lists languages vexa_name registry_file scenario drive_config)

scripts/install-deps.sh
. scripts/apt.sh
apt_install clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" >/dev/null

# The action fuzzer's seeds are the examples, written in its case format.
build/fuzz/bin/fuzz_action_seeds examples build/fuzz/seeds/actions >/dev/null
mkdir -p fuzz/corpus/actions

status=0
for target in "${targets[@]}"; do
  corpus="build/fuzz/corpus/$target"
  findings="build/fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  seeds=("fuzz/corpus/$target")
  [ "$target" != actions ] || seeds+=(build/fuzz/seeds/actions)
  if build/fuzz/bin/fuzz_"$target" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" > "build/fuzz/$target.log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "build/fuzz/$target.log" | grep -o '[0-9]*$')
    edges=$(grep -o 'cov: [0-9]*' "build/fuzz/$target.log" | tail -1 | grep -o '[0-9]*$')
    echo "fuzz $target: ${runs:-?} runs, ${edges:-?} edges covered, no finding"
  else
    echo "fuzz $target: FINDING (see build/fuzz/$target.log and $findings/)"
    status=1
  fi
done
exit $status
