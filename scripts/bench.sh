#!/usr/bin/env bash
# Builds the benchmarks in release mode and prints the table of action time,
# baseline time and ratio, then the peak memory of the forward-fit runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/apt.sh
apt_install time
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target action_bench actionhost vantorel cobrinth
build/release/bin/action_bench --benchmark_min_time="${BENCH_MIN_TIME:-1}" "$@"
echo
bench/memory.sh build/release/bin/actionhost
