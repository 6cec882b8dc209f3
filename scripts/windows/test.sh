#!/usr/bin/env bash
# The Windows builds, from a fresh Debian machine: installs the cross
# compilers and Wine, builds POCO and GoogleTest for each target from
# Debian's own source packages (cached outside the clone), then
#
#   x86_64  builds the same sources for 64-bit Windows and runs the whole
#           suite under 64-bit Wine, which needs nothing of the machine's
#           32-bit support: every unit test, the examples, the fault sweep and
#           the runner's tests;
#   i686    builds the deliverable, the 32-bit DLLs, and runs the whole suite
#           where the machine runs 32-bit programs itself, or, where they run
#           through emulation, the lean suite: one program with every unit
#           test, and the examples and their fault sweep in one actionhost
#           process each; either way the contract host, the examples, their
#           sweep and the soak run a second time on Microsoft's x86 C++
#           runtime, which the install step fetches.
#
# Usage: scripts/windows/test.sh [x86_64|i686]... (default: both)
set -euo pipefail
cd "$(dirname "$0")/../.."
architectures=("$@")
[ ${#architectures[@]} -gt 0 ] || architectures=(x86_64 i686)

scripts/windows/install-deps.sh

# ctest_with_retry PRESET: Wine now and then loses a test program (it hangs
# or its output goes missing). A failed test is run once more, and named, so
# that a retry is seen and counted rather than hidden; a test that fails
# twice fails the run. A ctest that failed without naming a failed test (no
# test program could start, say) fails the run at once.
ctest_with_retry() {
  local preset="$1" log="build/$1/Testing/Temporary"
  rm -f "$log/LastTestsFailed.log"
  if ctest --preset "$preset"; then
    return 0
  fi
  if [ ! -s "$log/LastTestsFailed.log" ]; then
    echo "windows: ctest failed, and no test failed in it: no test program ran to its end" >&2
    return 1
  fi
  echo "windows: retrying under Wine: $(cut -d: -f2 "$log/LastTestsFailed.log" | paste -sd' ')"
  echo "windows: $(wc -l <"$log/LastTestsFailed.log") test(s) retried"
  ctest --preset "$preset" --rerun-failed
}

# A test skipped here says why (ctest shows only that it was skipped).
report_skips() {
  awk '/: Skipped$/ { getline reason; skipped = 1; next }
       skipped && /^\[  SKIPPED \] / && !/^\[  SKIPPED \] [0-9]+ tests?[.,]/ { name = $0; sub(/^\[  SKIPPED \] /, "", name); sub(/ \(.*$/, "", name);
                                        print "windows: skipped " name ": " reason; skipped = 0 }' \
    "build/$1/Testing/Temporary/LastTest.log"
}

run_architecture() (
  local arch="$1" lean=OFF start
  start=$(date +%s)
  . scripts/windows/env.sh "$arch"
  scripts/windows/build-deps.sh "$arch" "$WINDOWS_DEPS_ROOT"
  if [ "$arch" = i686 ] && [ "$windows_i386" = emulated ]; then
    lean=ON
    echo "windows ($arch): 32-bit programs run through emulation here: the lean suite"
  fi
  # The Wine prefix, made once.
  [ -f "$WINEPREFIX/system.reg" ] || "$windows_wineboot" wineboot --init >/dev/null 2>&1 || true

  cmake --preset "$windows_preset" -DACTIONS_LEAN_TESTS=$lean >/dev/null
  cmake --build --preset "$windows_preset" -j "$(nproc)"
  # One Wine server for the whole run, instead of one started per test program.
  wineserver -p || true  # one may be running already
  trap 'wineserver -k 2>/dev/null || true' EXIT
  # Let Wine's own start (wineboot and the services it starts) finish before
  # the first test program, with its output going nowhere: started by a test
  # program, those background processes would hold the test's output pipe
  # open, and ctest would wait for them until the test's time limit.
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
  ctest_with_retry "$windows_preset"
  report_skips "$windows_preset"
  echo "windows ($arch): $(( $(date +%s) - start )) s"
)

for arch in "${architectures[@]}"; do
  run_architecture "$arch"
done
