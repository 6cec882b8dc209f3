# Shared part of the mingw-w64 cross builds (posix threads), included by the
# toolchain file of each target: mingw-w64-i686.cmake (the deliverable) and
# mingw-w64-x86_64.cmake (the same sources tested at full speed under 64-bit
# Wine). The including file sets ACTIONS_MINGW_TRIPLET and ACTIONS_WINE.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ACTIONS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ACTIONS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ACTIONS_MINGW_TRIPLET}-windres)
set(CMAKE_MC_COMPILER ${ACTIONS_MINGW_TRIPLET}-windmc)
set(CMAKE_NM ${ACTIONS_MINGW_TRIPLET}-nm)
set(CMAKE_OBJDUMP ${ACTIONS_MINGW_TRIPLET}-objdump)
set(CMAKE_STRIP ${ACTIONS_MINGW_TRIPLET}-strip)

# Libraries built for the target live outside the clone (see scripts/windows/).
if(NOT DEFINED WINDOWS_DEPS_PREFIX)
  set(WINDOWS_DEPS_PREFIX "$ENV{WINDOWS_DEPS_PREFIX}")
endif()
if(NOT WINDOWS_DEPS_PREFIX)
  set(WINDOWS_DEPS_PREFIX /var/cache/actions-windows/${CMAKE_SYSTEM_PROCESSOR}/prefix)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${ACTIONS_MINGW_TRIPLET} ${WINDOWS_DEPS_PREFIX})
set(CMAKE_PREFIX_PATH ${WINDOWS_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One GCC runtime for the whole process: every DLL and program links libgcc
# and libstdc++ shared (libgcc_s_*.dll, libstdc++-6.dll and the
# libwinpthread-1.dll they need), so that a C++ exception unwinds from one
# module into another and type matches hold across them. A statically linked
# runtime gives each module an unwinder of its own, and an exception that
# crosses a module boundary then ends in terminate().
set(CMAKE_EXE_LINKER_FLAGS_INIT "-shared-libgcc")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-shared-libgcc")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-shared-libgcc")

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ACTIONS_WINE})

# POCO installs its package files in the Windows layout.
if(NOT DEFINED Poco_DIR AND EXISTS ${WINDOWS_DEPS_PREFIX}/cmake/PocoConfig.cmake)
  set(Poco_DIR ${WINDOWS_DEPS_PREFIX}/cmake)
endif()
