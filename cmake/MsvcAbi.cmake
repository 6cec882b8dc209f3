# Modules built by clang for Visual C++'s 32-bit ABI (i686-pc-windows-msvc),
# linked by lld-link against import libraries that llvm-dlltool makes from
# .def files: the test hosts that prove the DLLs' binary contract. clang, not
# our code, decides their calling conventions, vtables, type information and
# exceptions. Debian's clang, lld and llvm provide the tools.
find_program(ACTIONS_MSVC_CLANG NAMES clang++ clang++-14 REQUIRED)
find_program(ACTIONS_MSVC_LINK NAMES lld-link lld-link-14 REQUIRED)
find_program(ACTIONS_MSVC_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
find_program(ACTIONS_MSVC_RC NAMES llvm-rc llvm-rc-14 REQUIRED)

# msvc_import_library(DEF file): an import library (.lib) for the DLL that
# the .def file names, in the build's msvc-import folder; its path in OUT.
function(msvc_import_library def out)
  get_filename_component(stem ${def} NAME_WE)
  set(lib ${PROJECT_BINARY_DIR}/msvc-import/${stem}.lib)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/msvc-import
    # -k: the DLL's names carry no stdcall "@N", the import symbols do.
    COMMAND ${ACTIONS_MSVC_DLLTOOL} -m i386 -k -d ${def} -l ${lib}
    DEPENDS ${def} VERBATIM)
  set(${out} ${lib} PARENT_SCOPE)
endfunction()

# The import libraries, made once in the top directory (the custom target
# msvc_import_libraries): the Visual C++ runtime for the test hosts, and
# the two action libraries from their 32-bit export lists, for the test
# hosts and for the kit.
set(ACTIONS_MSVC_RUNTIME_LIBS "")
foreach(def vcruntime140 ucrtbase kernel32 version)
  msvc_import_library(${PROJECT_SOURCE_DIR}/msvc/${def}.def lib)
  list(APPEND ACTIONS_MSVC_RUNTIME_LIBS ${lib})
endforeach()
# The model of a host linked /MT carries its C++ runtime inside and loads no
# vcruntime140.dll: it takes the same functions as from vcruntime140.dll and
# ucrtbase.dll from one DLL of another name, hostruntime.dll, which its test
# puts beside it (Microsoft's runtime under that name).
set(static_exports "")
foreach(def vcruntime140 ucrtbase)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/msvc/${def}.def)
  file(STRINGS ${PROJECT_SOURCE_DIR}/msvc/${def}.def exports REGEX "^    [^ ]")
  list(APPEND static_exports ${exports})
endforeach()
list(JOIN static_exports "\n" static_exports)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/msvc-defs/hostruntime.def
  CONTENT "LIBRARY hostruntime.dll\nEXPORTS\n${static_exports}\n")
msvc_import_library(${PROJECT_BINARY_DIR}/msvc-defs/hostruntime.def ACTIONS_MSVC_STATIC_RUNTIME_LIB)
set(ACTIONS_MSVC_STATIC_RUNTIME_LIBS ${ACTIONS_MSVC_STATIC_RUNTIME_LIB})
foreach(def kernel32 version)
  list(APPEND ACTIONS_MSVC_STATIC_RUNTIME_LIBS ${PROJECT_BINARY_DIR}/msvc-import/${def}.lib)
endforeach()

msvc_import_library(${PROJECT_SOURCE_DIR}/vantorel/vantorel-msvc.def ACTIONS_MSVC_VANTOREL_LIB)
msvc_import_library(${PROJECT_SOURCE_DIR}/cobrinth/cobrinth.def ACTIONS_MSVC_COBRINTH_LIB)
add_custom_target(msvc_import_libraries ALL
  DEPENDS ${ACTIONS_MSVC_RUNTIME_LIBS} ${ACTIONS_MSVC_STATIC_RUNTIME_LIB} ${ACTIONS_MSVC_VANTOREL_LIB}
          ${ACTIONS_MSVC_COBRINTH_LIB})

# msvc_module(NAME name KIND dll|exe OUTPUT path SOURCES ... LIBS ... [DEPENDS target...])
function(msvc_module)
  cmake_parse_arguments(ARG "" "NAME;KIND;OUTPUT" "SOURCES;LIBS;DEPENDS;INCLUDES" ${ARGN})
  set(objects "")
  foreach(source IN LISTS ARG_SOURCES)
    get_filename_component(stem ${source} NAME_WE)
    set(object ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.dir/${stem}.obj)
    set(includes "")
    foreach(dir IN LISTS ARG_INCLUDES)
      list(APPEND includes -I${dir})
    endforeach()
    add_custom_command(OUTPUT ${object}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.dir
      COMMAND ${ACTIONS_MSVC_CLANG} --target=i686-pc-windows-msvc -std=c++17 -O2 -Wall -Wextra -Werror
              -nostdlibinc -ffreestanding -fexceptions -fcxx-exceptions
              -I${PROJECT_SOURCE_DIR}/msvc/include -I${PROJECT_SOURCE_DIR} ${includes}
              -MD -MF ${object}.d -c ${source} -o ${object}
      DEPFILE ${object}.d
      DEPENDS ${source} VERBATIM)
    list(APPEND objects ${object})
  endforeach()
  if(ARG_KIND STREQUAL "dll")
    set(link_kind /dll /entry:_DllMainCRTStartup)
  else()
    set(link_kind /subsystem:console /entry:msvcMainStartup)
  endif()
  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND ${ACTIONS_MSVC_LINK} ${link_kind} /nodefaultlib /machine:x86 /safeseh:no /out:${ARG_OUTPUT}
            ${objects} ${ARG_LIBS}
    DEPENDS ${objects} ${ARG_DEPENDS} VERBATIM)
  add_custom_target(${ARG_NAME} ALL DEPENDS ${ARG_OUTPUT})
  add_dependencies(${ARG_NAME} msvc_import_libraries)
endfunction()
