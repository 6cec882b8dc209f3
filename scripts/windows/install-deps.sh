#!/usr/bin/env bash
# Installs what the Windows build needs on Debian: the mingw-w64 cross
# compiler, Wine with its 32-bit part, and the source packages' access.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

changed=false
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  changed=true
fi
# Debian's source packages of POCO and GoogleTest are built for the target.
if ! grep -rqs "^Types: deb-src" /etc/apt/sources.list.d/ && ! grep -qs "^deb-src" /etc/apt/sources.list; then
  $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  changed=true
fi

packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 dpkg-dev wine wine32:i386 cmake make libboost-dev nlohmann-json3-dev libcli11-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if $changed || [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
