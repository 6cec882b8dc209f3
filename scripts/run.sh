#!/usr/bin/env bash
# Builds what is needed, then runs one scenario with actionhost and shows what
# the action did. Extra arguments go to actionhost (--json, --transcript).
set -euo pipefail
cd "$(dirname "$0")/.."
scenario="${1:-examples/change-feature-state.json}"
shift || true
scripts/build.sh dev >/dev/null
exec build/dev/bin/actionhost run "$scenario" "$@"
