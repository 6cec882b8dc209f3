# The 32-bit suite a second time, on Microsoft's x86 C++ runtime instead of
# Wine's: the contract host, the examples and their fault sweep through
# msvcbridge.dll, and the soak, each from a folder of their own in which
# Microsoft's DLL lies beside the programs (cmake/MicrosoftRuntime.cmake sets
# it up, checking the DLL's SHA-256 first). Wine takes its builtin
# vcruntime140.dll even then, unless WINEDLLOVERRIDES says vcruntime140=n:
# each test appends that to what the environment sets. Each proves from
# inside its process that it got Microsoft's runtime (the runtime: line).
# Included from tests/CMakeLists.txt, after the in-process examples.
file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/windows/microsoft-runtime.pin pin REGEX "^(version|sha256)=")
string(REGEX REPLACE ".*version=([^;]*).*" "\\1" microsoft_version "${pin}")
string(REGEX REPLACE ".*sha256=([0-9a-f]*).*" "\\1" microsoft_sha256 "${pin}")
set(deps_root "$ENV{WINDOWS_DEPS_ROOT}")
if(NOT deps_root)
  set(deps_root /var/cache/actions-windows)
endif()
set(ACTIONS_MICROSOFT_RUNTIME "${deps_root}/microsoft-runtime/${microsoft_version}/ucrtbase.dll" CACHE FILEPATH
  "Microsoft's x86 ucrtbase.dll, which the 32-bit suite's second run takes as the hosts' C++ runtime")

set(microsoft_folder ${PROJECT_BINARY_DIR}/microsoft-runtime)
set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(microsoft_files ${bin}/actionhost.exe ${bin}/msvcbridge.dll ${bin}/vantorel.dll ${bin}/cobrinth.dll
  ${bin}/libtest_actions.dll ${bin}/msvc_contract_host.exe ${bin}/msvc_contract_host_static.exe)
if(ACTIONS_LEAN_TESTS)
  set(soak_program unit_tests.exe)
else()
  set(soak_program stress_tests.exe)
endif()
list(APPEND microsoft_files ${bin}/${soak_program})
add_test(NAME microsoft_runtime.folder
  COMMAND ${CMAKE_COMMAND} -DDLL=${ACTIONS_MICROSOFT_RUNTIME} -DSHA256=${microsoft_sha256}
          -DFOLDER=${microsoft_folder} "-DFILES=${microsoft_files}" -P ${PROJECT_SOURCE_DIR}/cmake/MicrosoftRuntime.cmake)
set_tests_properties(microsoft_runtime.folder PROPERTIES FIXTURES_SETUP microsoft_runtime)
# The setup refuses a file that is not the pinned one, and a missing one, saying how to get it.
add_test(NAME microsoft_runtime.refuses_another_file
  COMMAND ${CMAKE_COMMAND} -DDLL=${bin}/msvcbridge.dll -DSHA256=${microsoft_sha256}
          -DFOLDER=${CMAKE_CURRENT_BINARY_DIR}/refused -DFILES= -P ${PROJECT_SOURCE_DIR}/cmake/MicrosoftRuntime.cmake)
set_tests_properties(microsoft_runtime.refuses_another_file PROPERTIES
  PASS_REGULAR_EXPRESSION "msvcbridge.dll[ \n]+has[ \n]+SHA-256[ \n]+[0-9a-f]+,[ \n]+not[ \n]+the[ \n]+pinned[ \n]+${microsoft_sha256}:")
add_test(NAME microsoft_runtime.refuses_a_missing_file
  COMMAND ${CMAKE_COMMAND} -DDLL=${CMAKE_CURRENT_BINARY_DIR}/missing/ucrtbase.dll -DSHA256=${microsoft_sha256}
          -DFOLDER=${CMAKE_CURRENT_BINARY_DIR}/refused -DFILES= -P ${PROJECT_SOURCE_DIR}/cmake/MicrosoftRuntime.cmake)
set_tests_properties(microsoft_runtime.refuses_a_missing_file PROPERTIES
  PASS_REGULAR_EXPRESSION "is not at[ \n]+[^ \n]*missing/ucrtbase.dll:[ \n]+scripts/windows/microsoft-runtime.sh")

# microsoft_test(NAME name EXPECT runtime [OVERRIDES "dll=order ..."] LINE regex PASS regex COMMAND program args...):
# passed with its runtime line, then its pass line. The overrides, blank-separated, are appended to
# WINEDLLOVERRIDES.
function(microsoft_test)
  cmake_parse_arguments(ARG "" "NAME;EXPECT;OVERRIDES;LINE;PASS" "COMMAND" ${ARGN})
  list(POP_FRONT ARG_COMMAND program)
  add_test(NAME ${ARG_NAME} COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${microsoft_folder}/${program} ${ARG_COMMAND}
    WORKING_DIRECTORY ${microsoft_folder})
  set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED microsoft_runtime TIMEOUT 3600
    ENVIRONMENT ACTIONS_EXPECT_RUNTIME=${ARG_EXPECT}
    PASS_REGULAR_EXPRESSION "runtime: C\\+\\+ exceptions by [^\n]*${ARG_LINE}[^\n]*\n.*${ARG_PASS}"
    FAIL_REGULAR_EXPRESSION "FAIL ;${after_summary_failures}")
  if(ARG_OVERRIDES)
    string(REPLACE " " "\\;" ARG_OVERRIDES "${ARG_OVERRIDES}")
    set_tests_properties(${ARG_NAME} PROPERTIES
      ENVIRONMENT_MODIFICATION "WINEDLLOVERRIDES=string_append:\\;${ARG_OVERRIDES}")
  endif()
endfunction()

set(microsoft "[(]Microsoft Corporation 10[.]0[.]17134[.]12[)]")
set(microsoft_line "vcruntime140[.]dll ${microsoft}; current exception by the same; heap ")
# The contract host, on Microsoft's runtime for its exceptions and for its heap.
microsoft_test(NAME msvc_contract_host.microsoft_runtime EXPECT microsoft-heap OVERRIDES "vcruntime140=n ucrtbase=n,b"
  LINE "${microsoft_line}[^\n]*ucrtbase[.]dll ${microsoft}" PASS "${contract_host_passes}"
  COMMAND msvc_contract_host.exe)
# The model of a host linked /MT: no vcruntime140.dll in the process.
microsoft_test(NAME msvc_contract_host.microsoft_runtime_static EXPECT microsoft-static
  LINE "hostruntime[.]dll ${microsoft}; current exception none [(]no vcruntime140[.]dll[)]; heap by the same"
  PASS "${contract_host_passes}" COMMAND msvc_contract_host_static.exe --static-runtime)
# The examples and their fault sweep, in one process where each start is
# dear (the lean suite), each scenario in a child of its own elsewhere.
if(ACTIONS_LEAN_TESTS)
  set(in_process --in-process ${command_examples})
  set(examples_passed "\n36 passed, 0 failed")
else()
  set(in_process "")
  set(examples_passed "\n38 passed, 0 failed")
endif()
microsoft_test(NAME actionhost.examples.microsoft_runtime EXPECT microsoft OVERRIDES "vcruntime140=n"
  LINE "${microsoft_line}" PASS "${examples_passed}"
  COMMAND actionhost.exe test --strict ${in_process} ${PROJECT_SOURCE_DIR}/examples)
microsoft_test(NAME actionhost.fault_sweep.microsoft_runtime EXPECT microsoft OVERRIDES "vcruntime140=n"
  LINE "${microsoft_line}" PASS "${examples_passed}"
  COMMAND actionhost.exe test --fault-sweep ${in_process} ${PROJECT_SOURCE_DIR}/examples)
microsoft_test(NAME Soak.microsoft_runtime EXPECT microsoft OVERRIDES "vcruntime140=n"
  LINE "${microsoft_line}" PASS "\\[  PASSED  \\] 1 test[.]" COMMAND ${soak_program} --gtest_filter=Soak.*)
