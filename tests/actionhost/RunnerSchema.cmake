# The scenario schema: actionhost schema prints the file kept in the
# repository; with Python's jsonschema and actionhost check, the schema and
# the loader accept every example and test scenario and refuse every wrong
# one, but for what no schema can see; actionhost new gives, for every
# action, a scenario that validates, runs its action's success path as it
# is, and that test --update fills so that it passes test --strict.
# Run with -DACTIONHOST=... -DSOURCE=... -DWORK=... [-DPYTHON=... -DLIBRARY=...] [-DEMULATOR=...]
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(scenarios ${SOURCE}/tests/scenarios)

execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} schema RESULT_VARIABLE status OUTPUT_VARIABLE printed)
file(READ ${SOURCE}/scenario.schema.json kept)
string(REPLACE "\r" "" printed "${printed}")
if(NOT status EQUAL 0 OR NOT printed STREQUAL kept)
  message(FATAL_ERROR "scenario.schema.json is not what actionhost schema prints (status ${status}); "
                      "after changing the catalogue or the format: actionhost schema > scenario.schema.json")
endif()

# The wrong scenarios: each one FAIL line from the loader, naming the place.
file(GLOB wrong ${scenarios}/invalid/*.json)
list(LENGTH wrong expected)
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${scenarios}/invalid OUTPUT_VARIABLE output)
string(REGEX MATCHALL "FAIL [^\n]*\\.json:[0-9]+:[0-9]+: [$]" refused "${output}")
list(LENGTH refused count)
if(NOT count EQUAL expected OR NOT output MATCHES "0 passed, ${expected} failed")
  message(FATAL_ERROR "the loader must refuse each of the ${expected} wrong scenarios with its place:\n${output}")
endif()

# A scenario for every action, run as it is.
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} list OUTPUT_VARIABLE listed)
string(REPLACE "\r" "" listed "${listed}")
string(REPLACE "\n" ";" lines "${listed}")
set(made 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[^ ].*cobrinth")
    set(library cobrinth)
  elseif(line MATCHES "^[^ ]")
    set(library vantorel)
  elseif(line MATCHES "^  ([A-Za-z]+) ")
    set(action ${CMAKE_MATCH_1})
    execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} new ${library} ${action}
      RESULT_VARIABLE status OUTPUT_FILE ${WORK}/new-${library}-${action}.json)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "new ${library} ${action}: exit status ${status}")
    endif()
    # A starter runs its action's ordinary success path as it is made:
    # result 0, no error line, no property without a name.
    execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} run ${WORK}/new-${library}-${action}.json
      RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT status EQUAL 0 OR output MATCHES "\\[4\\]" OR output MATCHES "\n  \"\" = "
       OR errors MATCHES "has no parameter|was not read|never fired")
      message(FATAL_ERROR "the new scenario of ${library} ${action} does not run its success path "
                          "(exit status ${status}):\n${output}${errors}")
    endif()
    math(EXPR made "${made} + 1")
  endif()
endforeach()
if(NOT made EQUAL 22)
  message(FATAL_ERROR "${made} new scenarios, not one for each of the 22 actions:\n${listed}")
endif()
# test --update fills every starter's expect block, after which each passes
# test --strict: it gives nothing its action never reads.
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --update=new ${WORK} OUTPUT_VARIABLE output)
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --strict ${WORK} OUTPUT_VARIABLE again RESULT_VARIABLE status)
if(NOT output MATCHES "UPDATED new-vantorel-SetVexaName.json" OR NOT again MATCHES "22 passed, 0 failed"
   OR NOT status EQUAL 0)
  message(FATAL_ERROR "test --update did not give every new scenario an expect block that passes --strict:\n"
                      "${output}\n${again}")
endif()

# One verdict: the schema and the loader accept and refuse the same files,
# but for what no schema can see.
if(PYTHON)
  execute_process(COMMAND ${PYTHON} ${SOURCE}/tests/check_schema.py ${SOURCE}/scenario.schema.json
    --actionhost ${ACTIONHOST} --library ${LIBRARY}
    --valid ${SOURCE}/examples ${scenarios}/preset-property.json ${scenarios}/wrong-expectation.json
            ${scenarios}/sweep ${scenarios}/edge ${WORK}
    --schema-only ${scenarios}/crash
    --invalid ${scenarios}/invalid
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the schema and the loader do not give one verdict")
  endif()
endif()
