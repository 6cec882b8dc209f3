#!/usr/bin/env bash
# The robustness runs: the whole suite and every example under AddressSanitizer
# and UndefinedBehaviorSanitizer, the concurrency test under ThreadSanitizer,
# and each fuzz target for a few seconds (FUZZ_SECONDS, default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$(nproc)"
ASAN_OPTIONS=detect_leaks=1 ctest --preset sanitize

cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$(nproc)"
ctest --preset tsan

scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
