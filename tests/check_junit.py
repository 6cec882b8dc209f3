"""Reads actionhost's JUnit XML with a real XML parser and checks it.

Usage: check_junit.py FILE TESTCASES [NAME=TEXT ...]: the file holds that
many testcases, and each named one failed with TEXT in its failure message.
"""
import sys
import xml.etree.ElementTree as ElementTree

root = ElementTree.parse(sys.argv[1]).getroot()
cases = root.findall("./testsuite/testcase")
if len(cases) != int(sys.argv[2]):
    sys.exit("expected %s testcases, found %d" % (sys.argv[2], len(cases)))
by_name = {case.get("name"): case for case in cases}
failed = {name for name, case in by_name.items() if case.find("failure") is not None}
expected = dict(pair.split("=", 1) for pair in sys.argv[3:])
if failed != set(expected):
    sys.exit("failed: %s, expected: %s" % (sorted(failed), sorted(expected)))
for name, text in expected.items():
    message = by_name[name].find("failure").get("message")
    if text not in message:
        sys.exit("%s: %r not in %r" % (name, text, message))
print("junit: %d testcases, %d failures as expected" % (len(cases), len(failed)))
