#!/usr/bin/env bash
# Tests the Windows kit as a host vendor gets it: unzipped into a scratch
# folder, a host of its own is built by CMake and clang for Visual C++'s ABI
# against the kit alone, found by find_package, and run under Wine from the kit's
# bin folder (it loads both DLLs, calls their actions and uses
# InstallException through the exported members), the kit's actionhost.exe
# runs the kit's examples, and, as on a machine without Visual C++'s
# runtime, says what to install. Usage:
# scripts/windows/test-kit.sh (after scripts/package.sh windows).
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/windows/env.sh i686
. scripts/apt.sh
apt_install unzip

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

# The host: the Visual C++ runtime's import libraries from their export
# lists, the kit as its package config gives it, and nothing of the build
# tree but the host's own source (with the test hosts' runtime proof, msvc/)
# and its stand-ins for Visual C++'s headers.
host="$scratch/host"
mkdir -p "$host"
runtime=()
for def in vcruntime140 ucrtbase kernel32 version; do
  llvm-dlltool -m i386 -k -d "msvc/$def.def" -l "$host/$def.lib"
  runtime+=("$host/$def.lib")
done
# Built by CMake, as a Visual Studio/CMake host is: find_package finds the
# kit through its package config (lib/cmake/InstallerActions), and the DLLs'
# imported locations are the kit's bin folder.
cmake -S tests/kit -B "$host/build" -DCMAKE_TOOLCHAIN_FILE="$PWD/tests/kit/ClangMsvcToolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$kit" \
  "-DRUNTIME_LIBS=$(IFS=';'; echo "${runtime[*]}")" >"$host/configure.log" ||
  { cat "$host/configure.log"; echo "kit: find_package did not find the kit" >&2; exit 1; }
cmake --build "$host/build" >"$host/build.log" || { cat "$host/build.log"; exit 1; }
located="$(cat "$host/build/vantorel-location.txt")"
[ "$located" = "$kit/bin/vantorel.dll" ] ||
  { echo "kit: actions::vantorel lies at $located, not in the kit's bin folder" >&2; exit 1; }
cp "$host/build/kit_host.exe" "$kit/bin/kit_host.exe"
# The Wine prefix, if no suite made it, then Wine's start, with its output
# going nowhere (see test.sh).
[ -f "$WINEPREFIX/system.reg" ] || "$windows_wineboot" wineboot --init >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 || true
# From the kit's bin folder, where it finds the DLLs beside itself.
report="$(wine "$kit/bin/kit_host.exe" --kit)"
echo "$report"
echo "$report" | grep -q "^[0-9]* passed, 0 failed" || { echo "kit: the Visual C++ host failed" >&2; exit 1; }
# The examples in one process: each Wine process is dear where 32-bit
# programs run through emulation. There, as in the lean suite, the two
# examples that run a command are left out (cmd.exe costs minutes under
# emulation, and Wine under qemu loses exit statuses).
exclude=()
[ "$windows_i386" != emulated ] ||
  exclude=(--exclude "run-command-and-set-return-code.json" --exclude "run-command-and-set-property.json")
wine "$kit/bin/actionhost.exe" test --in-process "${exclude[@]}" "$kit/share/installer-actions/examples" | tail -1
# The scenario schema, where the examples' "$schema" names it.
cmp "$kit/share/installer-actions/scenario.schema.json" scenario.schema.json

# The kit's readme, at its top, gives the requirements, the folders and the
# first commands.
readme="$kit/README.txt"
for line in "Visual C++ Redistributable for Visual Studio 2015-2022, x86" "bin\\actionhost.exe run" "include\\installer-actions\\"; do
  grep -qF "$line" "$readme" || { echo "kit: README.txt does not say: $line" >&2; exit 1; }
done
# A clean machine, without the Visual C++ Redistributable: Wine's own
# vcruntime140.dll disabled. actionhost.exe itself starts, and a run stops
# with a message that names the DLL and what to install.
WINEDLLOVERRIDES="vcruntime140=d" wine "$kit/bin/actionhost.exe" --version | grep -q "^actionhost [0-9]" ||
  { echo "kit: actionhost.exe --version did not run without vcruntime140.dll" >&2; exit 1; }
status=0
message="$(WINEDLLOVERRIDES="vcruntime140=d" wine "$kit/bin/actionhost.exe" run \
  "$kit/share/installer-actions/examples/set-vexa-name.json" 2>&1 >/dev/null)" || status=$?
echo "without vcruntime140.dll: status $status: $message"
[ "$status" -eq 2 ] && echo "$message" | grep -q "it needs vcruntime140.dll" &&
  echo "$message" | grep -q "install Microsoft's Visual C++ Redistributable for Visual Studio 2015-2022, x86" ||
  { echo "kit: without vcruntime140.dll, actionhost.exe did not name it and the Redistributable" >&2; exit 1; }
