# The GCC runtime DLLs that every module of the Windows build shares
# (libgcc_s_dw2-1.dll on i686, whose exceptions are DWARF-2, or
# libgcc_s_seh-1.dll on x86_64, whose exceptions are SEH; libstdc++-6.dll;
# libwinpthread-1.dll), as the cross compiler ships them. They are copied beside the binaries in the build's bin
# folder, where the test programs and actionhost.exe find them, and installed
# beside the DLLs for hosts.
# The 32-bit build links GCC's runtime statically (see MingwToolchain.cmake).
if(ACTIONS_STATIC_GCC_RUNTIME)
  return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(gcc_runtime libgcc_s_seh-1.dll)
else()
  set(gcc_runtime libgcc_s_dw2-1.dll)
endif()
set(ACTIONS_RUNTIME_DLLS "")
foreach(dll ${gcc_runtime} libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "the cross compiler ships no ${dll}")
  endif()
  file(COPY ${found} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  list(APPEND ACTIONS_RUNTIME_DLLS ${found})
endforeach()
install(FILES ${ACTIONS_RUNTIME_DLLS} DESTINATION bin COMPONENT runtime)
