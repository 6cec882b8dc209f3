#!/usr/bin/env python3
"""Checks that the sources include one another in one order only, and that
each exported action has a file and a test file named after it.

Each folder may include its own headers and those of the folders listed for
it below; anything else is an arrow against the order, printed with its file
and line. The order has no circle, so the includes have none either. The
tests, benchmarks and fuzzers may include anything, except the contract host
that clang builds, which keeps to the contract as the bridge does.

Each action a library's export list names (ACTION.cpp under the library's
folder) has its tests in ACTIONTest.cpp under tests/LIBRARY/.

Usage: check_layers.py SOURCE_DIR
"""
import os
import re
import sys

# folder -> the folders its includes may name (besides its own)
ALLOWED = {
    "host": set(),
    "platform": {"host"},
    "boundary": {"host"},
    "frame": {"host", "platform", "boundary"},
    "vantorel": {"frame", "platform", "host"},
    "cobrinth": {"frame", "platform", "host"},
    "hosting": {"host", "platform"},
    "tools": {"hosting", "platform", "host"},
    "msvc": {"host"},
    "tests/msvc": {"host"},
}

# vantorel's areas are on the include path by their own names
AREAS = {"diskspace", "features", "prereqs", "utilities", "versions"}

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def folder_of(include):
    first = include.split("/")[0] if "/" in include else None
    return "vantorel" if first in AREAS else first


def check(source_dir):
    faults = []
    for layer, allowed in ALLOWED.items():
        for directory, _, files in os.walk(os.path.join(source_dir, layer)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(directory, name)
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = folder_of(match.group(1))
                        if target is None or target == layer or target in allowed:
                            continue
                        faults.append("%s:%d: %s includes %s" % (os.path.relpath(path, source_dir), number,
                                                                 layer, match.group(1)))
    return faults


def exported_actions(source_dir, library):
    """The actions a library's export list names (not InstallException's members)."""
    with open(os.path.join(source_dir, library, library + ".def"), encoding="utf-8") as listing:
        for line in listing:
            word = line.split(";")[0].strip()
            if word and word not in ("EXPORTS",) and not word.startswith(("LIBRARY", "_Z", "?")):
                yield word.split()[0]


def check_action_files(source_dir):
    faults = []
    for library in ("vantorel", "cobrinth"):
        found = {"source": set(), "test": set()}
        for kind, root in (("source", library), ("test", os.path.join("tests", library))):
            for _, _, files in os.walk(os.path.join(source_dir, root)):
                found[kind].update(files)
        for action in exported_actions(source_dir, library):
            if action + ".cpp" not in found["source"]:
                faults.append("%s: %s has no file %s.cpp" % (library, action, action))
            if action + "Test.cpp" not in found["test"]:
                faults.append("%s: %s has no test file %sTest.cpp under tests/%s/" % (library, action, action, library))
    return faults


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    faults = check(sys.argv[1]) + check_action_files(sys.argv[1])
    for fault in faults:
        print(fault)
    if faults:
        sys.exit("%d fault(s) in the layout" % len(faults))
    print("includes follow the order: %s" % ", ".join(sorted(ALLOWED)))
    count = sum(len(list(exported_actions(sys.argv[1], library))) for library in ("vantorel", "cobrinth"))
    print("each of the %d exported actions has a file and a test file named after it" % count)


if __name__ == "__main__":
    main()
