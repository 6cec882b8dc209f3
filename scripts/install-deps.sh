#!/usr/bin/env bash
# Installs the Debian packages the native build needs, when they are missing.
set -euo pipefail
. "$(dirname "$0")/apt.sh"

packages=(cmake make g++ binutils libpoco-dev libboost-dev libgtest-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev python3 python3-jsonschema libxml2-utils)
apt_install "${packages[@]}"

# The editor test runs the scenario schema in the JSON language service that
# VS Code uses and in Ajv, npm packages pinned by tests/editor/package-lock.json.
# The machine's own npm and registry are used; Debian's nodejs and npm only
# where the machine has no npm (a Node.js from elsewhere conflicts with them).
if ! command -v npm >/dev/null; then
  apt_install nodejs npm
fi
editor="$(dirname "$0")/../tests/editor"
if [ ! -f "$editor/node_modules/.package-lock.json" ] || [ "$editor/package-lock.json" -nt "$editor/node_modules/.package-lock.json" ]; then
  (cd "$editor" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi
