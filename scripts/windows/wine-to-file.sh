#!/usr/bin/env bash
# Runs a Windows test program under Wine with its output in a file, and
# prints the file when the program has ended: wine-to-file.sh WINE PROGRAM ARG...
#
# Wine starts services of its own on demand (svchost.exe for a network
# query, say), from whichever process needs them first, and they inherit
# that process's standard output and error. Started by a test program, they
# would hold the output pipe of the test runner open long after the program
# ended, and the runner waits for that pipe until the test's time limit.
# Here they hold a file instead; the exit status is the program's.
set -uo pipefail
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
"$@" </dev/null >"$output" 2>&1
status=$?
cat "$output"
exit "$status"
