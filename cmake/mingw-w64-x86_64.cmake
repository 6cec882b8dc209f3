# Cross build for 64-bit Windows with Debian's mingw-w64: the same sources as
# the 32-bit DLLs, tested under 64-bit Wine, which needs no 32-bit support
# from the machine. The loader is called directly: Debian's `wine` script
# prefers the 32-bit loader whenever it is installed, even where the kernel
# cannot run it.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ACTIONS_MINGW_TRIPLET x86_64-w64-mingw32)
set(ACTIONS_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
