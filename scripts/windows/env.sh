# The Windows build's environment, sourced by the scripts beside it: the
# dependency cache outside the clone and a 32-bit Wine prefix of its own.
export WINDOWS_DEPS_ROOT="${WINDOWS_DEPS_ROOT:-/var/cache/actions-windows}"
export WINDOWS_DEPS_PREFIX="$WINDOWS_DEPS_ROOT/prefix"
export WINEPREFIX="${WINEPREFIX:-$WINDOWS_DEPS_ROOT/wine}"
export WINEARCH=win32
export WINEDEBUG=-all
