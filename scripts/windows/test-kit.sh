#!/usr/bin/env bash
# Tests the Windows kit as a host vendor gets it: unzipped into a scratch
# folder, a host of its own is built with the mingw-w64 toolchain against the
# kit alone and run under Wine (it loads vantorel.dll and calls an action),
# and the kit's actionhost.exe runs the kit's examples. Usage:
# scripts/windows/test-kit.sh (after scripts/package.sh windows).
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/windows/env.sh i686
if ! command -v unzip >/dev/null; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends unzip
fi

shopt -s nullglob
zips=(build/packages/installer-actions-*-win32.zip)
[ ${#zips[@]} -eq 1 ] || { echo "kit: expected one Windows kit in build/packages" >&2; exit 1; }
scratch="$(mktemp -d)"
# One Wine server for the whole script: where 32-bit programs run through
# emulation, each new Wine session starts Wine's services again (minutes).
wineserver -p || true  # one may be running already
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
unzip -q "${zips[0]}" -d "$scratch"
kit="$(echo "$scratch"/installer-actions-*-win32)"
echo "kit: $(cd "$kit" && find . -type f | sort | tr '\n' ' ')"

cmake -S tests/consumer -B "$scratch/consumer" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-i686.cmake" \
  -DInstallerActions_DIR="$kit/lib/cmake/InstallerActions" \
  -DINSTALLER_ACTIONS_BOOST_INCLUDE_DIR="$WINDOWS_DEPS_ROOT/i686/boost-include" >/dev/null
cmake --build "$scratch/consumer" >/dev/null
# Wine's start first, with its output going nowhere (see test.sh).
wine cmd /c exit >/dev/null 2>&1 || true
# The host finds the DLLs and the GCC runtime in the kit's bin folder (the
# build machine's root is drive Z: under Wine).
WINEPATH="Z:${kit//\//\\}\\bin" wine "$scratch/consumer/consumer_host.exe"
# The examples in one process: each Wine process is dear where 32-bit
# programs run through emulation. There, as in the lean suite, the two
# examples that run a command are left out (cmd.exe costs minutes under
# emulation, and Wine under qemu loses exit statuses).
exclude=()
[ "$windows_i386" != emulated ] || exclude=(--exclude "run-command-*")
wine "$kit/bin/actionhost.exe" test --in-process "${exclude[@]}" "$kit/share/installer-actions/examples" | tail -1
