# Sets up the folder from which the 32-bit suite runs a second time on
# Microsoft's x86 C++ runtime: links (or copies) of the programs and DLLs
# named, and Microsoft's DLL beside them as vcruntime140.dll, ucrtbase.dll
# (taken only where a test's WINEDLLOVERRIDES asks for it) and
# hostruntime.dll (the runtime of the model of a host linked /MT). The DLL's
# SHA-256 is checked at every setup; without it the tests fail, with how to
# get it.
#   cmake -DDLL=path -DSHA256=hash -DFOLDER=dir -DFILES=a;b;... -P MicrosoftRuntime.cmake
foreach(variable DLL SHA256 FOLDER FILES)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "MicrosoftRuntime.cmake: ${variable} is not set")
  endif()
endforeach()
if(NOT EXISTS "${DLL}")
  message(FATAL_ERROR "Microsoft's x86 C++ runtime is not at ${DLL}: scripts/windows/microsoft-runtime.sh "
    "fetches it there (scripts/windows/install-deps.sh and scripts/windows/test.sh run it), with the "
    "environment's WINDOWS_DEPS_ROOT, or configure with -DACTIONS_MICROSOFT_RUNTIME=<path of the DLL>")
endif()
file(SHA256 "${DLL}" found)
if(NOT found STREQUAL SHA256)
  message(FATAL_ERROR "${DLL} has SHA-256 ${found}, not the pinned ${SHA256}: not used; "
    "scripts/windows/microsoft-runtime.sh fetches the pinned file again")
endif()
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  file(CREATE_LINK "${file}" "${FOLDER}/${name}" COPY_ON_ERROR)
endforeach()
foreach(name vcruntime140.dll ucrtbase.dll hostruntime.dll)
  file(COPY_FILE "${DLL}" "${FOLDER}/${name}")
endforeach()
message(STATUS "Microsoft's runtime (SHA-256 ${SHA256}) beside the programs in ${FOLDER}")
