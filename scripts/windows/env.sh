# The Windows build's environment, sourced by the scripts beside it with the
# target architecture: `. env.sh i686` (the deliverable, the default) or
# `. env.sh x86_64` (the same sources tested under 64-bit Wine). It sets the
# dependency cache outside the clone, a Wine prefix of the architecture's
# own, a UTF-8 locale, WINE, the loader that runs the architecture's
# programs, and for i686 windows_i386: native, emulated or none (how 32-bit
# programs run here).
windows_arch="${1:-i686}"
export WINDOWS_DEPS_ROOT="${WINDOWS_DEPS_ROOT:-/var/cache/actions-windows}"
export WINDOWS_DEPS_PREFIX="$WINDOWS_DEPS_ROOT/$windows_arch/prefix"
export WINEDEBUG=-all
# Wine converts file names between Windows and the machine by the locale's
# character set: under a POSIX locale (LC_ALL=C, as in a container without
# one) a file name outside ASCII cannot be opened. UTF-8, which every Debian
# machine has, whatever the caller's locale.
export LC_ALL=C.UTF-8
case "$windows_arch" in
  i686)
    export WINEPREFIX="$WINDOWS_DEPS_ROOT/wine32"
    export WINEARCH=win32
    WINE=wine
    windows_preset=windows
    # Where 32-bit programs run through emulation (see i386.sh), Wine's
    # background programs fail under it and every new process waits for
    # them; nothing of ours needs them.
    windows_i386="$("$(dirname "${BASH_SOURCE[0]}")/i386.sh" --query)"
    if [ "$windows_i386" = emulated ]; then
      # A program that crashes ends at once, without starting the debugger.
      export WINEDLLOVERRIDES="mscoree,mshtml=;winedevice.exe,plugplay.exe,explorer.exe,winedbg.exe=d"
    fi
    ;;
  x86_64)
    # Debian's `wine` script would take the 32-bit loader whenever it is
    # installed, even where the kernel cannot run it: the 64-bit loader is
    # called by its path, and starts the prefix's programs itself.
    export WINEPREFIX="$WINDOWS_DEPS_ROOT/wine64"
    export WINEARCH=win64
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
