#!/usr/bin/env bash
# Tests the Debian packages as a user gets them: lintian must find no error
# and no warning;
# then the three .deb files are unpacked into a scratch root, a host of its
# own is built against the installed -dev files, installed itself and run
# from where it is installed, and the installed
# actionhost runs the installed examples. Usage: scripts/test-packages.sh
# (after scripts/package.sh linux).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/apt.sh
apt_install lintian
shopt -s nullglob
debs=(build/packages/*.deb)
if [ ${#debs[@]} -ne 3 ]; then
  echo "packages: expected 3 .deb files in build/packages, found ${#debs[@]}" >&2
  exit 1
fi
echo "packages: lintian"
lintian --fail-on error,warning --tag-display-limit 0 "${debs[@]}"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
for deb in "${debs[@]}"; do
  dpkg-deb --field "$deb" Package Multi-Arch Depends | sed 's/^/  /'
  dpkg -x "$deb" "$root"
done
for deb in build/packages/installer-actions_*.deb build/packages/installer-actions-dev_*.deb; do
  [ "$(dpkg-deb --field "$deb" Multi-Arch)" = same ] || { echo "packages: $deb is not Multi-Arch: same" >&2; exit 1; }
done
cmake -S tests/consumer -B "$root/consumer" -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
cmake --build "$root/consumer" >/dev/null
# Installed, the host still finds the library it links, in the plug-in
# folder, and loads the other one from there by path.
cmake --install "$root/consumer" --prefix "$root/host" >/dev/null
"$root/host/bin/consumer_host"
"$root/usr/bin/actionhost" test "$root/usr/share/installer-actions/examples" | tail -1
gzip -dc "$root/usr/share/man/man1/actionhost.1.gz" | grep -q '^\.TH ACTIONHOST 1'  # the manual page is there and whole
# The schema lies where the examples' "$schema" names it, and new finds it there.
(cd "$root/usr/share/installer-actions/examples" && "$root/usr/bin/actionhost" new SetVexaName) |
  grep -q '"\$schema": "../scenario.schema.json"'
cmp "$root/usr/share/installer-actions/scenario.schema.json" scenario.schema.json
echo "packages: installed and used from a scratch root"
