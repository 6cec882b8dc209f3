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

The runner's folders under tools/actionhost/ are layers of their own, each
named in includes by its folder ("scenario/Scenario.h"); every source of
tools/ lies in one of them.

Usage: check_layers.py [--plant FILE:INCLUDE]... SOURCE_DIR
"""
import os
import re
import sys

# folder -> the folders its includes may name (besides its own)
ALLOWED = {
    "host": set(),
    "names": {"host"},
    "bridge": set(),
    "platform": {"host"},
    "boundary": {"host"},
    "frame": {"host", "platform", "boundary"},
    "vantorel": {"frame", "platform", "host", "names"},
    "cobrinth": {"frame", "platform", "host", "names"},
    "hosting": {"host", "platform", "bridge"},
    "msvc": {"host", "bridge"},
    "tests/msvc": {"host"},
}

# The runner's folders, on its include path by their own names
# ("scenario/Scenario.h"): the path a scenario takes, scenario -> run ->
# show | test -> commands, each folder pointing down only.
RUNNER = "tools/actionhost"
RUNNER_ALLOWED = {
    "os": {"hosting"},
    "catalogue": {"host", "hosting", "platform", "names"},
    "scenario": {"catalogue", "os", "host", "hosting", "platform", "names"},
    "run": {"scenario", "catalogue", "os", "hosting", "platform", "host"},
    "show": {"run", "scenario", "catalogue", "os", "hosting"},
    "test": {"run", "scenario", "os", "hosting"},
    "commands": {"os", "catalogue", "scenario", "run", "show", "test", "hosting", "host", "platform"},
}
for runner_folder, runner_allowed in RUNNER_ALLOWED.items():
    ALLOWED[RUNNER + "/" + runner_folder] = {
        RUNNER + "/" + name if name in RUNNER_ALLOWED else name for name in runner_allowed}

# vantorel's areas are on the include path by their own names
AREAS = {"diskspace", "features", "prereqs", "utilities", "versions"}

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def folder_of(include):
    first = include.split("/")[0] if "/" in include else None
    if first in AREAS:
        return "vantorel"
    if first in RUNNER_ALLOWED:
        return RUNNER + "/" + first
    return first


def includes_of(path, planted):
    """The (line number, include) pairs of a file, and a planted one last."""
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)
    for include in planted:
        yield 0, include


def check(source_dir, plants):
    faults = []
    for layer, allowed in ALLOWED.items():
        for directory, _, files in os.walk(os.path.join(source_dir, layer)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, source_dir)
                for number, include in includes_of(path, plants.get(relative, [])):
                    target = folder_of(include)
                    if target is None or target == layer or target in allowed:
                        continue
                    faults.append("%s:%s: %s includes %s" % (relative, number or "planted", layer, include))
    # Every source of the runner lies in one of its folders.
    for directory, _, files in os.walk(os.path.join(source_dir, "tools")):
        for name in sorted(files):
            relative = os.path.relpath(os.path.join(directory, name), source_dir)
            if name.endswith((".h", ".cpp")) and not any(
                    relative.startswith(layer + "/") for layer in ALLOWED):
                faults.append("%s: lies in no folder of the runner's (%s)" % (
                    relative, ", ".join(sorted(RUNNER_ALLOWED))))
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
    arguments = sys.argv[1:]
    # --plant FILE:INCLUDE checks as if FILE (relative to SOURCE_DIR) also
    # included INCLUDE: the check's own test plants an arrow against the order.
    plants = {}
    while len(arguments) > 2 and arguments[0] == "--plant":
        planted_file, _, include = arguments[1].partition(":")
        plants.setdefault(planted_file, []).append(include)
        arguments = arguments[2:]
    if len(arguments) != 1:
        sys.exit(__doc__)
    source_dir = arguments[0]
    faults = check(source_dir, plants) + check_action_files(source_dir)
    for fault in faults:
        print(fault)
    if faults:
        sys.exit("%d fault(s) in the layout" % len(faults))
    print("includes follow the order: %s" % ", ".join(sorted(ALLOWED)))
    count = sum(len(list(exported_actions(source_dir, library))) for library in ("vantorel", "cobrinth"))
    print("each of the %d exported actions has a file and a test file named after it" % count)


if __name__ == "__main__":
    main()
