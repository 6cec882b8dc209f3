"""Holds the manual page to actionhost's own help and sources.

For each command, the options its --help lists are the options of its
synopsis and of its section under COMMANDS, both ways; every command has its
exit status under EXIT STATUS; and the variables under ENVIRONMENT are those
the runner, the simulated host and the stand-ins read, both ways.

Usage: check_manpage.py ACTIONHOST MANPAGE SOURCE_DIR [EMULATOR...]
"""
import os
import re
import subprocess
import sys

COMMANDS = ["run", "test", "call", "list", "new", "schema", "check"]
OPTION = re.compile(r"\\-\\-([a-z][a-z\\-]*[a-z])")


def help_options(actionhost, emulator, command):
    text = subprocess.run(emulator + [actionhost, command, "--help"], capture_output=True, text=True,
                          check=True).stdout
    options = set()
    for line in text.split("Options:", 1)[-1].splitlines():
        match = re.match(r"\s+(?:-[a-z],)?--([a-z][a-z-]*)", line)
        if match and match.group(1) != "help":
            options.add(match.group(1))
    return options


def man_options(lines):
    """The long options of some man page lines (and -j), but those named
    after another command (".B test \\-\\-update")."""
    options = set()
    for line in lines:
        if any(re.search(r"\b%s \\-\\-" % other, line) for other in COMMANDS):
            continue
        options.update(name.replace("\\-", "-") for name in OPTION.findall(line))
        # -j is --jobs
        if re.search(r"\\-j\b", line):
            options.add("jobs")
    return options


def sections(page):
    found = {}
    current = None
    for line in page.splitlines():
        if line.startswith(".SH "):
            current = line[4:].strip().strip('"')
            found[current] = []
        elif current:
            found[current].append(line)
    return found


def command_blocks(lines, start, after_tp):
    """The lines of each command: in SYNOPSIS from ".B actionhost CMD" to
    ".br"; in COMMANDS from ".TP" and ".B CMD" to the next ".TP"."""
    blocks = {}
    current = None
    for i, line in enumerate(lines):
        match = re.match(start, line)
        if match and match.group(1) in COMMANDS and (not after_tp or (i > 0 and lines[i - 1] == ".TP")):
            current = match.group(1)
            blocks[current] = []
            continue
        if line in (".br", ".TP"):
            current = None
        if current:
            blocks[current].append(line)
    return blocks


def variables_read(source_dir):
    read = set()
    pattern = re.compile(r'(?:getenv|Environment::get|Environment::has|GetEnvironmentVariable[AW]?|'
                         r'ScopedEnvironment)\(\s*"([A-Z_]+)"')
    for folder in ("tools", "hosting", "platform", "msvc"):
        for directory, _, files in os.walk(os.path.join(source_dir, folder)):
            for name in files:
                if name.endswith((".cpp", ".h")):
                    with open(os.path.join(directory, name), encoding="utf-8", errors="replace") as source:
                        read.update(pattern.findall(source.read()))
    return read


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    actionhost, manpage, source_dir = sys.argv[1:4]
    emulator = sys.argv[4:]
    with open(manpage, encoding="utf-8") as page_file:
        page = sections(page_file.read())
    synopsis = command_blocks(page["SYNOPSIS"], r"\.B actionhost (\w+)$", False)
    commands = command_blocks(page["COMMANDS"], r"\.B (\w+)$", True)
    faults = []
    for command in COMMANDS:
        wanted = help_options(actionhost, emulator, command)
        for where, blocks in (("SYNOPSIS", synopsis), ("COMMANDS", commands)):
            if command not in blocks:
                faults.append("%s has no %s entry" % (command, where))
                continue
            shown = man_options(blocks[command])
            for missing in sorted(wanted - shown):
                faults.append("%s --%s: in --help, not in the manual's %s" % (command, missing, where))
            for extra in sorted(shown - wanted):
                faults.append("%s --%s: in the manual's %s, not in --help" % (command, extra, where))
        if not any(re.search(r"\b%s\b" % command, line) for line in page["EXIT STATUS"]):
            faults.append("%s has no exit status in the manual" % command)
    environment = page.get("ENVIRONMENT", [])
    documented = {environment[i + 1].split()[1] for i, line in enumerate(environment[:-1])
                  if line == ".TP" and environment[i + 1].startswith(".B ")}
    read = variables_read(source_dir)
    for missing in sorted(read - documented):
        faults.append("%s is read, and not under ENVIRONMENT" % missing)
    for extra in sorted(documented - read):
        faults.append("%s is under ENVIRONMENT, and read nowhere" % extra)
    for fault in faults:
        print(fault)
    if faults:
        sys.exit("the manual page is not in step with actionhost")
    print("manual page: %d commands and %d variables in step" % (len(COMMANDS), len(read)))


if __name__ == "__main__":
    main()
