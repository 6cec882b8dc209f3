#!/usr/bin/env python3
"""Checks that the sources include one another in one order only.

Each folder may include its own headers and those of the folders listed for
it below; anything else is an arrow against the order, printed with its file
and line. The order has no circle, so the includes have none either. The
tests, benchmarks and fuzzers may include anything, except the contract host
that clang builds, which keeps to the contract as the bridge does.

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


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    faults = check(sys.argv[1])
    for fault in faults:
        print(fault)
    if faults:
        sys.exit("%d include(s) against the order" % len(faults))
    print("includes follow the order: %s" % ", ".join(sorted(ALLOWED)))


if __name__ == "__main__":
    main()
