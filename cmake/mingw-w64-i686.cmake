# Cross build for 32-bit Windows with Debian's mingw-w64: the deliverable.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ACTIONS_MINGW_TRIPLET i686-w64-mingw32)
set(ACTIONS_WINE wine)
set(ACTIONS_STATIC_GCC_RUNTIME ON)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
