# Cross build for 32-bit Windows with Debian's mingw-w64: the deliverable.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ACTIONS_MINGW_TRIPLET i686-w64-mingw32)
set(ACTIONS_WINE wine)
set(ACTIONS_STATIC_GCC_RUNTIME ON)
# A Visual C++ caller keeps the stack aligned to 4 bytes only, where GCC
# assumes 16 on entry: every function of the DLLs (and of the libraries
# linked into them) is compiled for 4-byte-aligned callers, so that one that
# needs more alignment realigns its own frame.
set(ACTIONS_TARGET_FLAGS "-mincoming-stack-boundary=2")
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
