# The Windows build's environment, sourced by the scripts beside it with the
# target architecture: `. env.sh i686` (the deliverable, the default) or
# `. env.sh x86_64` (the same sources tested under 64-bit Wine). It sets the
# dependency cache outside the clone, the Wine prefix, a UTF-8 locale, WINE,
# the loader that runs the architecture's programs, windows_wineboot, the
# loader that makes the prefix, and for i686 windows_i386: native, emulated
# or none (how 32-bit programs run here).
#
# Both builds run in one 64-bit prefix. Most hosts are 32-bit processes on
# 64-bit Windows: the 32-bit programs run there as under WOW64, with the
# registry's 32-bit view beside the 64-bit one. Wine's own programs in it
# (wineboot, the services) are 64-bit, and start natively where 32-bit
# programs run through emulation: a cold 32-bit session starts in about a
# minute and a half there, against seven and a half in a 32-bit prefix.
windows_arch="${1:-i686}"
export WINDOWS_DEPS_ROOT="${WINDOWS_DEPS_ROOT:-/var/cache/actions-windows}"
export WINDOWS_DEPS_PREFIX="$WINDOWS_DEPS_ROOT/$windows_arch/prefix"
export WINEDEBUG=-all
# Wine converts file names between Windows and the machine by the locale's
# character set: under a POSIX locale (LC_ALL=C, as in a container without
# one) a file name outside ASCII cannot be opened. UTF-8, which every Debian
# machine has, whatever the caller's locale.
export LC_ALL=C.UTF-8
export WINEPREFIX="$WINDOWS_DEPS_ROOT/wine64"
export WINEARCH=win64
# Debian's `wine` script would take the 32-bit loader whenever it is
# installed, even where the kernel cannot run it: the 64-bit loader is called
# by its path, and starts the prefix's programs itself.
windows_wineboot=/usr/lib/wine/wine64
case "$windows_arch" in
  i686)
    # The 32-bit loader, which runs 32-bit programs in the 64-bit prefix.
    WINE=wine
    windows_preset=windows
    windows_i386="$("$(dirname "${BASH_SOURCE[0]}")/i386.sh" --query)"
    if [ "$windows_i386" = emulated ]; then
      # Wine's background programs, which nothing of ours needs, stay off
      # where each 32-bit program start is dear, and a program that crashes
      # ends at once, without starting the debugger.
      export WINEDLLOVERRIDES="mscoree,mshtml=;winedevice.exe,plugplay.exe,explorer.exe,winedbg.exe=d"
    fi
    ;;
  x86_64)
    export WINELOADER=/usr/lib/wine/wine64
    WINE=/usr/lib/wine/wine64
    windows_preset=windows64
    ;;
  *)
    echo "env.sh: unknown architecture $windows_arch (i686 or x86_64)" >&2
    return 2
    ;;
esac
unset windows_arch
