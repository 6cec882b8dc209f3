# action_library(NAME DEF file [MSVC_DEF file] SOURCES ...)
#
# MSVC_DEF is the export list of the 32-bit Windows DLL, whose exported class
# members carry Visual C++'s decorated names.
# A shared action library whose exports are exactly the names of its .def
# file: on Windows the .def file itself, elsewhere a linker version script
# made from it, so that nothing else (template instances, POCO or runtime
# symbols) leaks out.
include(${CMAKE_CURRENT_LIST_DIR}/DefFile.cmake)

function(action_library name)
  cmake_parse_arguments(ARG "" "DEF;MSVC_DEF" "SOURCES" ${ARGN})
  if(ACTIONS_MSVC_BOUNDARY AND ARG_MSVC_DEF)
    set(ARG_DEF ${ARG_MSVC_DEF})
  endif()
  add_library(${name} SHARED ${ARG_SOURCES})
  add_library(actions::${name} ALIAS ${name})
  set_target_properties(${name} PROPERTIES PREFIX "lib")
  if(WIN32)
    target_sources(${name} PRIVATE ${ARG_DEF} ${PROJECT_SOURCE_DIR}/frame/DllMain_windows.cpp)
    set_target_properties(${name} PROPERTIES PREFIX "")
  else()
    read_def_exports(${ARG_DEF} exports)
    set(symbols "")
    foreach(symbol IN LISTS exports)
      string(APPEND symbols "    ${symbol};\n")
    endforeach()
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
    file(WRITE ${script} "{\n  global:\n${symbols}  local: *;\n};\n")
    target_link_options(${name} PRIVATE "LINKER:--version-script=${script}")
    # clang leaves the sanitizer runtimes to the program, so a sanitized
    # library links with them unresolved.
    if(NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
      target_link_options(${name} PRIVATE "LINKER:--no-undefined")
    endif()
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${script} ${ARG_DEF})
  endif()
  set_property(TARGET ${name} PROPERTY EXPORT_DEF_FILE ${ARG_DEF})
endfunction()
