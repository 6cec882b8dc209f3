#!/usr/bin/env bash
# Builds POCO (Foundation, JSON) and GoogleTest for 32-bit Windows from
# Debian's own source packages, static, into a prefix outside the clone that
# later runs reuse. Usage: build-deps.sh [PREFIX_ROOT]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="${1:-${WINDOWS_DEPS_ROOT:-/var/cache/actions-windows}}"
prefix="$root/prefix"
toolchain="$here/../../cmake/mingw-w64-i686.cmake"
jobs="$(nproc)"
mkdir -p "$root/src" "$prefix"

# Header-only libraries: folders holding their headers alone, not the build
# machine's include folder.
mkdir -p "$root/boost-include" "$root/json-include" "$root/cli11-include"
ln -sfn /usr/include/boost "$root/boost-include/boost"
ln -sfn /usr/include/nlohmann "$root/json-include/nlohmann"
ln -sfn /usr/include/CLI "$root/cli11-include/CLI"

if [ -f "$prefix/.deps-complete" ]; then
  echo "windows dependencies: reusing $prefix"
  exit 0
fi

cd "$root/src"
[ -d poco-1.11.0 ] || apt-get source -qq poco
[ -d googletest-1.12.1 ] || apt-get source -qq googletest

# POCO's sources and headers include some Windows headers in mixed case;
# mingw ships them in lower case. Case aliases in the prefix's include folder
# serve POCO's build and every consumer of its headers.
shim="$prefix/include"
mkdir -p "$shim"
for header in Winsock2.h Iphlpapi.h WS2tcpip.h Windows.h; do
  lower="$(echo "$header" | tr '[:upper:]' '[:lower:]')"
  [ -e "/usr/i686-w64-mingw32/include/$lower" ] && ln -sf "/usr/i686-w64-mingw32/include/$lower" "$shim/$header"
done

cmake -S poco-1.11.0 -B "$root/build-poco" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DWINDOWS_DEPS_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DPOCO_STATIC=ON -DPOCO_MT=OFF \
  -DCMAKE_CXX_FLAGS="-I$shim" -DCMAKE_C_FLAGS="-I$shim" \
  -DENABLE_FOUNDATION=ON -DENABLE_JSON=ON \
  -DENABLE_XML=OFF -DENABLE_UTIL=OFF -DENABLE_NET=OFF -DENABLE_NETSSL=OFF -DENABLE_NETSSL_WIN=OFF \
  -DENABLE_CRYPTO=OFF -DENABLE_DATA=OFF -DENABLE_DATA_SQLITE=OFF -DENABLE_DATA_MYSQL=OFF \
  -DENABLE_DATA_POSTGRESQL=OFF -DENABLE_DATA_ODBC=OFF -DENABLE_MONGODB=OFF -DENABLE_REDIS=OFF \
  -DENABLE_ZIP=OFF -DENABLE_SEVENZIP=OFF -DENABLE_PAGECOMPILER=OFF -DENABLE_PAGECOMPILER_FILE2PAGE=OFF \
  -DENABLE_ENCODINGS=OFF -DENABLE_ENCODINGS_COMPILER=OFF -DENABLE_APACHECONNECTOR=OFF -DENABLE_CPPPARSER=OFF \
  -DENABLE_POCODOC=OFF -DENABLE_PDF=OFF -DENABLE_JWT=OFF -DENABLE_ACTIVERECORD=OFF \
  -DENABLE_ACTIVERECORD_COMPILER=OFF -DENABLE_PROMETHEUS=OFF -DENABLE_TESTS=OFF -DPOCO_UNBUNDLED=OFF
cmake --build "$root/build-poco" -j "$jobs"
cmake --install "$root/build-poco"

cmake -S googletest-1.12.1 -B "$root/build-gtest" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DWINDOWS_DEPS_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF
cmake --build "$root/build-gtest" -j "$jobs"
cmake --install "$root/build-gtest"

touch "$prefix/.deps-complete"
