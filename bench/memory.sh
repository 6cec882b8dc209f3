#!/usr/bin/env bash
# Peak resident memory of actionhost run on a forward-fit scenario with
# 100,000 and 1,000,000 data lines: it must not grow with the file; and on
# one data line of 100 MB, which is held once per copy the action makes.
# Usage: bench/memory.sh [ACTIONHOST]
set -euo pipefail
actionhost="${1:-build/release/bin/actionhost}"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package time)"; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for lines in 100000 1000000; do
  awk -v n="$lines" 'BEGIN { for (i = 1; i < n; i++) printf "13.%d.%d: 13.0.0.12 13.0.1.9 13.0.2.3\r\n", i % 10, i % 7;
                             print "14.0.3: 14.0.0.12 14.0.1.5 14.0.2.3" }' > "$work/ff-$lines.txt"
  cat > "$work/ff-$lines.json" <<JSON
{"action": "DetectOverhangingPatch",
 "parameters": {"ForwardFitDataFile": "ff-$lines.txt", "CurrentPatchLevel": "14.0.1.7"},
 "properties": {"\$product.id": "P,14.0.3.0"}}
JSON
  kib=$( { /usr/bin/time -v "$actionhost" run "$work/ff-$lines.json" > /dev/null; } 2>&1 | awk -F': ' '/Maximum resident/ {print $2}')
  echo "forward-fit file of $lines lines: peak resident memory $kib KiB"
done
# One data line of 100 MB: forward-fit levels of another SP level, the
# deciding one last.
awk 'BEGIN { printf "14.0.3:"; for (i = 0; i < 11184810; i++) printf " 14.0.2.1"; print " 14.0.1.5" }' > "$work/ff-long.txt"
cat > "$work/ff-long.json" <<JSON
{"action": "DetectOverhangingPatch",
 "parameters": {"ForwardFitDataFile": "ff-long.txt", "CurrentPatchLevel": "14.0.1.7"},
 "properties": {"\$product.id": "P,14.0.3.0"}}
JSON
kib=$( { /usr/bin/time -v "$actionhost" run "$work/ff-long.json" > /dev/null; } 2>&1 | awk -F': ' '/Maximum resident/ {print $2}')
echo "forward-fit file of one line of $(stat -c %s "$work/ff-long.txt") bytes: peak resident memory $kib KiB"
