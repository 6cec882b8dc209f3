#!/usr/bin/env bash
# Builds everything and runs all tests: unit tests, the exported-symbol checks
# and every example scenario through actionhost.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
scripts/build.sh "$preset"
ctest --preset "$preset"
