#!/usr/bin/env bash
# Installs what the Windows builds need on Debian: the mingw-w64 cross
# compilers for i686 and x86_64, clang, lld and llvm (the test hosts built for
# Visual C++'s ABI), Wine with its 64-bit and 32-bit parts, and
# access to Debian's source packages; then makes sure 32-bit programs start
# (scripts/windows/i386.sh), and fetches Microsoft's x86 C++ runtime for the
# 32-bit suite (scripts/windows/microsoft-runtime.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../apt.sh"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

changed=false
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  changed=true
fi

# Debian's source packages of POCO and GoogleTest are built for the targets.
# Their source list follows the machine's own configured Debian source: each
# "deb" entry gets its "deb-src" twin, so no server is named here.
has_deb_src() {
  grep -rqsE "^Types:.*deb-src" /etc/apt/sources.list.d/ || grep -qsE "^deb-src" /etc/apt/sources.list
}
if ! has_deb_src; then
  twin="$(mktemp)"
  for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] && sed -E 's/^Types:[[:space:]]+deb[[:space:]]*$/Types: deb-src/' "$sources" >>"$twin" && echo >>"$twin"
  done
  if grep -qE "^Types: deb-src" "$twin"; then
    $sudo install -m 644 "$twin" /etc/apt/sources.list.d/actions-deb-src.sources
  else
    grep -hsE "^deb[[:space:]]" /etc/apt/sources.list /etc/apt/sources.list.d/*.list | sed -E 's/^deb([[:space:]])/deb-src\1/' >"$twin" || true
    [ -s "$twin" ] || { echo "install-deps: no Debian source configured on this machine to take deb-src from" >&2; exit 1; }
    $sudo install -m 644 "$twin" /etc/apt/sources.list.d/actions-deb-src.list
  fi
  rm -f "$twin"
  changed=true
fi

packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          clang lld llvm dpkg-dev wine wine64 wine32:i386 cmake make libboost-dev nlohmann-json3-dev libcli11-dev
          python3 libxml2-utils)
if $changed; then
  apt_install --refresh "${packages[@]}"
else
  apt_install "${packages[@]}"
fi

"$here/i386.sh"
# Microsoft's x86 C++ runtime, for the 32-bit suite's second run.
"$here/microsoft-runtime.sh"
