#!/usr/bin/env bash
# Builds POCO (Foundation) and GoogleTest for Windows from Debian's own
# source packages, static, into a prefix outside the clone that later runs
# reuse: one prefix per target architecture. Usage:
# build-deps.sh i686|x86_64 [ROOT]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
arch="${1:?usage: build-deps.sh i686|x86_64 [ROOT]}"
root="${2:-${WINDOWS_DEPS_ROOT:-/var/cache/actions-windows}}"
case "$arch" in
  i686|x86_64) ;;
  *) echo "build-deps.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
triplet="$arch-w64-mingw32"
prefix="$root/$arch/prefix"
toolchain="$here/../../cmake/mingw-w64-$arch.cmake"
jobs="$(nproc)"
mkdir -p "$root/src" "$prefix"

# Header-only libraries: folders holding their headers alone, not the build
# machine's include folder.
mkdir -p "$root/$arch/boost-include" "$root/$arch/json-include" "$root/$arch/cli11-include"
ln -sfn /usr/include/boost "$root/$arch/boost-include/boost"
ln -sfn /usr/include/nlohmann "$root/$arch/json-include/nlohmann"
ln -sfn /usr/include/CLI "$root/$arch/cli11-include/CLI"

# The flags every target object is compiled with (the toolchain file's
# ACTIONS_TARGET_FLAGS): a prefix built with other flags is built again.
flags="$(sed -nE 's/^set\(ACTIONS_TARGET_FLAGS "([^"]*)"\)$/\1/p' "$toolchain")"
stamp="flags: $flags"
if [ -f "$prefix/.deps-complete" ] && [ "$(cat "$prefix/.deps-complete")" = "$stamp" ]; then
  echo "windows dependencies ($arch): reusing $prefix"
  exit 0
fi

# The sources are shared by both architectures; each builds out of tree.
cd "$root/src"
. "$here/../apt.sh"
[ -d poco-1.11.0 ] || apt_source poco
[ -d googletest-1.12.1 ] || apt_source googletest

# POCO's sources and headers include some Windows headers in mixed case;
# mingw ships them in lower case. Case aliases in the prefix's include folder
# serve POCO's build and every consumer of its headers.
shim="$prefix/include"
mkdir -p "$shim"
for header in Winsock2.h Iphlpapi.h WS2tcpip.h Windows.h; do
  lower="$(echo "$header" | tr '[:upper:]' '[:lower:]')"
  [ -e "/usr/$triplet/include/$lower" ] && ln -sf "/usr/$triplet/include/$lower" "$shim/$header"
done

cmake -S poco-1.11.0 -B "$root/$arch/build-poco" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DWINDOWS_DEPS_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DPOCO_STATIC=ON -DPOCO_MT=OFF \
  -DCMAKE_CXX_FLAGS="-I$shim $flags" -DCMAKE_C_FLAGS="-I$shim $flags" \
  -DENABLE_FOUNDATION=ON -DENABLE_JSON=OFF \
  -DENABLE_XML=OFF -DENABLE_UTIL=OFF -DENABLE_NET=OFF -DENABLE_NETSSL=OFF -DENABLE_NETSSL_WIN=OFF \
  -DENABLE_CRYPTO=OFF -DENABLE_DATA=OFF -DENABLE_DATA_SQLITE=OFF -DENABLE_DATA_MYSQL=OFF \
  -DENABLE_DATA_POSTGRESQL=OFF -DENABLE_DATA_ODBC=OFF -DENABLE_MONGODB=OFF -DENABLE_REDIS=OFF \
  -DENABLE_ZIP=OFF -DENABLE_SEVENZIP=OFF -DENABLE_PAGECOMPILER=OFF -DENABLE_PAGECOMPILER_FILE2PAGE=OFF \
  -DENABLE_ENCODINGS=OFF -DENABLE_ENCODINGS_COMPILER=OFF -DENABLE_APACHECONNECTOR=OFF -DENABLE_CPPPARSER=OFF \
  -DENABLE_POCODOC=OFF -DENABLE_PDF=OFF -DENABLE_JWT=OFF -DENABLE_ACTIVERECORD=OFF \
  -DENABLE_ACTIVERECORD_COMPILER=OFF -DENABLE_PROMETHEUS=OFF -DENABLE_TESTS=OFF -DPOCO_UNBUNDLED=OFF
cmake --build "$root/$arch/build-poco" -j "$jobs"
cmake --install "$root/$arch/build-poco"

cmake -S googletest-1.12.1 -B "$root/$arch/build-gtest" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DWINDOWS_DEPS_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags"
cmake --build "$root/$arch/build-gtest" -j "$jobs"
cmake --install "$root/$arch/build-gtest"

echo "$stamp" >"$prefix/.deps-complete"
