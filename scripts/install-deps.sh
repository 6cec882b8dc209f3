#!/usr/bin/env bash
# Installs the Debian packages the native build needs, when they are missing.
set -euo pipefail

packages=(cmake make g++ binutils libpoco-dev libboost-dev libgtest-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev python3 python3-jsonschema)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
