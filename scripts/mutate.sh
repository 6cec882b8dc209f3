#!/usr/bin/env bash
# Mutation testing of the action code: plants one plausible fault at a time
# in vantorel/, cobrinth/ and frame/, rebuilds what it touches and runs the
# tests, then reports the share of faults the tests caught and lists the
# survivors. Not part of CI: a full run takes the better part of an hour.
#
#   scripts/mutate.sh                      every mutant
#   scripts/mutate.sh --sample 40 --seed 7 a reproducible quick run
#   scripts/mutate.sh --list               the catalogue, without running it
#   scripts/mutate.sh --only versions/     the mutants of some files
#
# Mutants that no test could ever tell apart are listed, with the reason, in
# scripts/mutate/equivalent.txt and counted apart. The report lands in
# build/mutate/report.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
exec python3 scripts/mutate/mutate.py "$@"
