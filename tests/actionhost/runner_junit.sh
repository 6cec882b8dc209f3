#!/bin/sh
# actionhost test --junit on a run that has every outcome: scenarios that
# pass, fail, cannot be loaded, have no expect block, print bytes that are
# not UTF-8 and an escape sequence on each stream, one interrupted while it
# runs and two never started. The report must be well-formed, valid against
# the JUnit rules CI servers apply (tests/junit.xsd, with xmllint), and say
# each outcome as it was.
# Usage: runner_junit.sh ACTIONHOST WRITER WORK SCHEMA CHECK PYTHON [EMULATOR...]
set -u
actionhost="$1" writer="$2" work="$3" schema="$4" check="$5" python="$6"
shift 6
rm -rf "$work"
mkdir -p "$work/scenarios/sub"
s="$work/scenarios"
# printf, not echo: the writer's path may hold backslashes (Z:\\ under Wine).
vexa='"action": "SetVexaName", "parameters": {"MachineName": "a-b", "PropertyId": "N"}'
printf '%s\n' "{$vexa, \"expect\": {\"result\": 0, \"properties\": {\"N\": \"a_b\"}}}" >"$s/a-pass.json"
printf '%s\n' "{$vexa, \"expect\": {\"result\": 1, \"properties\": {\"N\": \"x\"}}}" >"$s/b-fail.json"
printf '%s\n' "{$vexa, }" >"$s/c-error.json"
printf '%s\n' "{$vexa}" >"$s/d-skip.json"
for stream in out err; do
  printf '%s\n' "{\"action\": \"RunCommandAndSetReturnCode\", \"parameters\": {\"CmdLine\": \"$writer bytes $stream\",
    \"WriteProperty\": \"RC\"}, \"expect\": {\"result\": 0}}" >"$s/e-bytes-$stream.json"
done
printf '%s\n' "{\"action\": \"RunCommandAndSetReturnCode\", \"parameters\": {\"CmdLine\": \"$writer hang $work/hang.pid\",
  \"WriteProperty\": \"RC\"}, \"expect\": {\"result\": 0}}" >"$s/f-hang.json"
printf '%s\n' "{$vexa, \"expect\": {\"result\": 0}}" >"$s/g-after.json"
printf '%s\n' "{$vexa, \"expect\": {\"result\": 0}}" >"$s/sub/h-deep.json"

"$@" "$actionhost" test -j 1 "$s" --junit "$work/report.xml" >"$work/output.txt" 2>&1 &
runner=$!
while [ ! -s "$work/hang.pid" ]; do
  kill -0 "$runner" 2>/dev/null || { cat "$work/output.txt"; echo "the run ended before the hanging scenario" >&2; exit 1; }
  sleep 0.1
done
kill -INT "$runner"
wait "$runner"
status=$?
cat "$work/output.txt"
[ "$status" -ne 0 ] || { echo "an interrupted run exited 0" >&2; exit 1; }
xmllint --noout --schema "$schema" "$work/report.xml" || exit 1
"$python" "$check" "$work/report.xml" a-pass.json=pass b-fail.json=failure:"result, properties differ" \
  c-error.json=error:"invalid JSON" d-skip.json=skipped:'no "expect" block' e-bytes-out.json=pass \
  e-bytes-err.json=pass f-hang.json=error:interrupted g-after.json=skipped:"not run" sub/h-deep.json=skipped:"not run" \
  e-bytes-out.json=out:"before �� \\u001B[31mred\\u001B[0m after" e-bytes-err.json=err:"before �� \\u001B[31mred"
