# Cross build for 32-bit Windows with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_MC_COMPILER i686-w64-mingw32-windmc)
set(CMAKE_NM i686-w64-mingw32-nm)
set(CMAKE_OBJDUMP i686-w64-mingw32-objdump)
set(CMAKE_STRIP i686-w64-mingw32-strip)

# Libraries built for the target live outside the clone (see scripts/windows/).
if(NOT DEFINED WINDOWS_DEPS_PREFIX)
  set(WINDOWS_DEPS_PREFIX "$ENV{WINDOWS_DEPS_PREFIX}")
endif()
if(NOT WINDOWS_DEPS_PREFIX)
  set(WINDOWS_DEPS_PREFIX /var/cache/actions-windows/prefix)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 ${WINDOWS_DEPS_PREFIX})
set(CMAKE_PREFIX_PATH ${WINDOWS_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One GCC runtime for the whole process: every DLL and program links libgcc
# and libstdc++ shared (libgcc_s_dw2-1.dll, libstdc++-6.dll and the
# libwinpthread-1.dll they need), so that a C++ exception unwinds from one
# module into another and type matches hold across them. A statically linked
# runtime gives each module an unwinder of its own, and an exception that
# crosses a module boundary then ends in terminate().
set(CMAKE_EXE_LINKER_FLAGS_INIT "-shared-libgcc")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-shared-libgcc")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-shared-libgcc")

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# POCO installs its package files in the Windows layout.
if(NOT DEFINED Poco_DIR AND EXISTS ${WINDOWS_DEPS_PREFIX}/cmake/PocoConfig.cmake)
  set(Poco_DIR ${WINDOWS_DEPS_PREFIX}/cmake)
endif()
