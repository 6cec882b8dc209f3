#!/usr/bin/env bash
# Tests the Windows kit as a host vendor gets it: unzipped into a scratch
# folder, a host of its own is built by clang for Visual C++'s ABI against the
# kit alone (its headers and vantorel.lib) and run under Wine from the kit's
# bin folder (it loads both DLLs, calls their actions and uses
# InstallException through the exported members), and the kit's
# actionhost.exe runs the kit's examples. Usage:
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
# lists, the kit's headers and import library, and nothing of the build tree
# but the host's own source (with the test hosts' runtime proof, msvc/) and
# its stand-ins for Visual C++'s headers.
host="$scratch/host"
mkdir -p "$host"
runtime=()
for def in vcruntime140 ucrtbase kernel32 version; do
  llvm-dlltool -m i386 -k -d "msvc/$def.def" -l "$host/$def.lib"
  runtime+=("$host/$def.lib")
done
objects=()
for source in tests/msvc/ContractHost tests/msvc/Checks tests/msvc/FakeHost msvc/HostRuntime msvc/RuntimeProof; do
  clang++ --target=i686-pc-windows-msvc -std=c++17 -O2 -nostdlibinc -ffreestanding -fexceptions -fcxx-exceptions \
    -I msvc/include -I msvc -I "$kit/include/installer-actions" -c "$source.cpp" -o "$host/$(basename "$source").obj"
  objects+=("$host/$(basename "$source").obj")
done
lld-link /subsystem:console /entry:msvcMainStartup /nodefaultlib /machine:x86 /safeseh:no \
  "/out:$kit/bin/kit_host.exe" "${objects[@]}" "$kit/lib/vantorel.lib" \
  "${runtime[@]}" >/dev/null
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
[ "$windows_i386" != emulated ] || exclude=(--exclude "run-command-*")
wine "$kit/bin/actionhost.exe" test --in-process "${exclude[@]}" "$kit/share/installer-actions/examples" | tail -1
# The scenario schema, where the examples' "$schema" names it.
cmp "$kit/share/installer-actions/scenario.schema.json" scenario.schema.json
