# Windows files carry a version resource made from the project's version:
# installers replace a versioned file only by a higher version, and a file's
# properties tell a support engineer which build a machine has.

# version_info_rc(OUT rc FILE name DESCRIPTION text KIND dll|exe): writes the
# resource script of one file into the build tree.
function(version_info_rc)
  cmake_parse_arguments(ARG "" "OUT;FILE;DESCRIPTION;KIND" "" ${ARGN})
  get_filename_component(VERSION_INTERNAL_NAME ${ARG_FILE} NAME_WE)
  set(VERSION_FILE_NAME ${ARG_FILE})
  set(VERSION_DESCRIPTION ${ARG_DESCRIPTION})
  if(ARG_KIND STREQUAL "dll")
    set(VERSION_FILE_TYPE 0x2)
  else()
    set(VERSION_FILE_TYPE 0x1)
  endif()
  set(rc ${PROJECT_BINARY_DIR}/version-info/${VERSION_INTERNAL_NAME}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  set(${ARG_OUT} ${rc} PARENT_SCOPE)
endfunction()

# version_info(TARGET DESCRIPTION text): the resource compiled by windres into
# a target that mingw-w64 builds. No effect off Windows.
function(version_info target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(kind dll)
  else()
    set(kind exe)
  endif()
  version_info_rc(OUT rc FILE ${target}.${kind} DESCRIPTION "${description}" KIND ${kind})
  target_sources(${target} PRIVATE ${rc})
endfunction()
