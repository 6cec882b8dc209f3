#!/usr/bin/env bash
# Makes the packages: "linux" (default) gives the three Debian packages
# (installer-actions, installer-actions-dev, actionhost) from a release build
# with Debian's hardening flags; "windows" gives a .zip with the two DLLs,
# actionhost.exe, the contract headers and the examples from the Windows
# build. The packages land in build/packages/.
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
    # Debian's build flags, every hardening feature on (bindnow included).
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cmake --preset release -B build/package -DCMAKE_INSTALL_PREFIX=/usr \
      -DACTIONS_BUILD_TESTS=OFF -DACTIONS_BUILD_BENCHMARKS=OFF \
      "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      "-DCMAKE_SHARED_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" \
      "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" >/dev/null
    cmake --build build/package -j "$(nproc)"
    rm -f build/packages/*.deb
    (cd build/package && cpack -B "$PWD/../packages" >/dev/null)
    # The library and -dev packages hold per-architecture folders, and may be
    # installed for several architectures at once: Multi-Arch: same, which
    # this CPack cannot write, is added to their control files.
    for deb in build/packages/installer-actions_*.deb build/packages/installer-actions-dev_*.deb; do
      unpacked="$(mktemp -d)"
      dpkg-deb -R "$deb" "$unpacked"
      sed -i '/^Architecture:/a Multi-Arch: same' "$unpacked/DEBIAN/control"
      dpkg-deb --root-owner-group -b "$unpacked" "$deb" >/dev/null
      rm -rf "$unpacked"
    done
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
