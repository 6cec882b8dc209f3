"""Reads actionhost's JUnit XML with a real XML parser and checks it.

Usage: check_junit.py FILE NAME=OUTCOME[:TEXT] ...: the file holds exactly
the named testcases, each with its outcome (pass, failure, error, skipped)
and, where given, TEXT in that outcome's message; every count of every
testsuite and the totals agree with the testcases. A NAME=out:TEXT or
NAME=err:TEXT checks that the testcase's system-out or system-err holds TEXT.
"""
import sys
import xml.etree.ElementTree as ElementTree

root = ElementTree.parse(sys.argv[1]).getroot()
faults = []
cases = {}
totals = {"tests": 0, "failures": 0, "errors": 0}
for suite in root.findall("testsuite"):
    counts = {"tests": 0, "failures": 0, "errors": 0, "skipped": 0}
    for case in suite.findall("testcase"):
        name = case.get("name")
        outcomes = [child for child in case if child.tag in ("failure", "error", "skipped")]
        outcome = outcomes[0].tag if outcomes else "pass"
        cases[name] = (outcome, outcomes[0].get("message") if outcomes else "", case)
        counts["tests"] += 1
        if outcome == "failure":
            counts["failures"] += 1
        elif outcome == "error":
            counts["errors"] += 1
        elif outcome == "skipped":
            counts["skipped"] += 1
    for key, value in counts.items():
        if suite.get(key) != str(value):
            faults.append("testsuite %s: %s=%s, counted %d" % (suite.get("name"), key, suite.get(key), value))
    for key in totals:
        totals[key] += counts[key]
for key, value in totals.items():
    if root.get(key) != str(value):
        faults.append("testsuites: %s=%s, counted %d" % (key, root.get(key), value))

expected = {}
streams = []
for argument in sys.argv[2:]:
    name, _, rest = argument.partition("=")
    kind, _, text = rest.partition(":")
    if kind in ("out", "err"):
        streams.append((name, kind, text))
    else:
        expected[name] = (kind, text)
if set(cases) != set(expected):
    faults.append("testcases: %s, expected: %s" % (sorted(cases), sorted(expected)))
for name, (kind, text) in expected.items():
    if name not in cases:
        continue
    outcome, message, _ = cases[name]
    if outcome != kind:
        faults.append("%s: %s, expected %s (%r)" % (name, outcome, kind, message))
    elif text not in (message or ""):
        faults.append("%s: %r not in %r" % (name, text, message))
for name, kind, text in streams:
    element = cases[name][2].find("system-" + kind) if name in cases else None
    if element is None or text not in (element.text or ""):
        faults.append("%s: system-%s does not hold %r" % (name, kind, text))
for fault in faults:
    print(fault)
if faults:
    sys.exit("the JUnit report is not as expected")
print("junit: %d testcases in %d testsuites, each as expected" % (len(cases), len(root.findall("testsuite"))))
