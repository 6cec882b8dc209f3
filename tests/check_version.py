"""One version everywhere: the project's CMake version is what actionhost
--version prints, what the manual page's header and the Debian changelog's
top entry give, and what the package config's version file holds.

Usage: check_version.py VERSION ACTIONHOST MANPAGE CHANGELOG [CONFIG_VERSION_FILE|-] [EMULATOR...]
"""
import re
import subprocess
import sys

version, actionhost, manpage, changelog, config = sys.argv[1:6]
emulator = sys.argv[6:]
found = {}
found["actionhost --version"] = subprocess.run(emulator + [actionhost, "--version"], capture_output=True, text=True,
                                               check=True).stdout.strip()
with open(manpage, encoding="utf-8") as page:
    header = re.search(r'^\.TH ACTIONHOST 1 "[^"]*" "actionhost ([^"]+)"', page.read(), re.M)
found["the manual page's header"] = "actionhost " + (header.group(1) if header else "(none)")
with open(changelog, encoding="utf-8") as log:
    top = re.match(r"installer-actions \(([^)-]+)-[0-9]+\)", log.readline())
found["the changelog's top entry"] = "actionhost " + (top.group(1) if top else "(none)")
if config != "-":
    with open(config, encoding="utf-8") as file:
        held = re.search(r'set\(PACKAGE_VERSION "([^"]+)"\)', file.read())
    found["the package config"] = "actionhost " + (held.group(1) if held else "(none)")
wrong = {where: text for where, text in found.items() if text != "actionhost " + version}
for where, text in wrong.items():
    print("%s gives %r, the project is %s" % (where, text, version))
if wrong:
    sys.exit("the version differs from the project's")
print("version %s in %s" % (version, ", ".join(found)))
