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

set(CMAKE_C_FLAGS_INIT "${ACTIONS_TARGET_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ACTIONS_TARGET_FLAGS}")

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

# GCC's runtime. The 64-bit build keeps one runtime for the whole process:
# every DLL and program links libgcc and libstdc++ shared (libgcc_s_*.dll,
# libstdc++-6.dll and the libwinpthread-1.dll they need), so that a C++
# exception unwinds from one module into another and type matches hold
# across them. The 32-bit DLLs speak Visual C++'s ABI at their boundary and
# no GCC exception crosses it, so there each module links GCC's runtime
# statically (ACTIONS_STATIC_GCC_RUNTIME): the DLLs import only Windows' own
# DLLs, and a host that holds other mingw-built plug-ins cannot load a
# different libstdc++-6.dll under ours.
if(ACTIONS_STATIC_GCC_RUNTIME)
  set(gcc_runtime_flags "-static")
else()
  set(gcc_runtime_flags "-shared-libgcc")
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "${gcc_runtime_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${gcc_runtime_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${gcc_runtime_flags}")

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ACTIONS_WINE})

# POCO installs its package files in the Windows layout.
if(NOT DEFINED Poco_DIR AND EXISTS ${WINDOWS_DEPS_PREFIX}/cmake/PocoConfig.cmake)
  set(Poco_DIR ${WINDOWS_DEPS_PREFIX}/cmake)
endif()
