#!/usr/bin/env bash
# Makes the packages: "linux" (default) gives a .tar.gz and a .deb from the
# release build; "windows" gives a .zip with the two DLLs, actionhost.exe,
# the contract headers and the examples from the Windows build. The packages
# land in build/packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/apt.sh
target="${1:-linux}"
mkdir -p build/packages
case "$target" in
  linux)
    scripts/install-deps.sh
    # dpkg-shlibdeps computes the packages' dependencies.
    apt_install dpkg-dev file
    # The packages install below /usr: the plug-in folder is the multiarch one.
    cmake --preset release -B build/package -DCMAKE_INSTALL_PREFIX=/usr \
      -DACTIONS_BUILD_TESTS=OFF -DACTIONS_BUILD_BENCHMARKS=OFF >/dev/null
    cmake --build build/package -j "$(nproc)"
    (cd build/package && cpack -B "$PWD/../packages" >/dev/null)
    ;;
  windows)
    . scripts/windows/env.sh i686
    scripts/windows/install-deps.sh
    scripts/windows/build-deps.sh i686 "$WINDOWS_DEPS_ROOT"
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$(nproc)"
    (cd build/windows && cpack -B "$PWD/../packages" >/dev/null)
    ;;
  *)
    echo "usage: scripts/package.sh [linux|windows]" >&2
    exit 2
    ;;
esac
rm -rf build/packages/_CPack_Packages
ls -1 build/packages
