# clang and lld-link for Visual C++'s 32-bit ABI (i686-pc-windows-msvc), for
# a host that a test builds through CMake against the 32-bit Windows kit, as
# a Visual Studio/CMake host would. No Visual C++ is installed: the programs
# link no default libraries; their runtime comes from the import libraries
# made from msvc/*.def and from msvc/HostRuntime.cpp. Debian's clang, lld and
# llvm provide the tools.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
find_program(ACTIONS_KIT_CLANG NAMES clang++ clang++-14 REQUIRED)
set(CMAKE_CXX_COMPILER ${ACTIONS_KIT_CLANG})
set(CMAKE_CXX_COMPILER_TARGET i686-pc-windows-msvc)
# Without Visual C++'s libraries, checks compile and do not link.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
get_filename_component(source_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
# -nostdlibinc, which the link is handed too, means nothing there.
set(CMAKE_CXX_FLAGS_INIT "-nostdlibinc -ffreestanding -fexceptions -fcxx-exceptions -I${source_root}/msvc/include \
-Wno-unused-command-line-argument")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fuse-ld=lld -nostdlib -Wl,/nodefaultlib,/entry:msvcMainStartup,/subsystem:console,/safeseh:no")
# The runtime is the test host's own: no /MD or /MT of CMake's choosing.
set(CMAKE_MSVC_RUNTIME_LIBRARY "")
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "no Visual C++ libraries" FORCE)
# The optimisation the test hosts are built with elsewhere.
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2")
