# The scenario schema: actionhost schema prints the file kept in the
# repository; with Python's jsonschema, every example and test scenario the
# loader accepts validates, and the wrong ones are refused, by the loader
# too; actionhost new gives, for every action, a scenario that validates and
# runs as it is, and that test --update fills.
# Run with -DACTIONHOST=... -DSOURCE=... -DWORK=... [-DPYTHON=...] [-DEMULATOR=...]
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
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${scenarios}/invalid OUTPUT_VARIABLE output)
string(REGEX MATCHALL "FAIL [^\n]*\\.json:[0-9]+:[0-9]+: [$]" refused "${output}")
list(LENGTH refused count)
if(NOT count EQUAL 5 OR NOT output MATCHES "0 passed, 5 failed")
  message(FATAL_ERROR "the loader must refuse each wrong scenario with its place:\n${output}")
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
    execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} run ${WORK}/new-${library}-${action}.json
      RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0 AND NOT status EQUAL 1)
      message(FATAL_ERROR "the new scenario of ${library} ${action} does not run (exit status ${status}):\n${output}")
    endif()
    math(EXPR made "${made} + 1")
  endif()
endforeach()
if(NOT made EQUAL 22)
  message(FATAL_ERROR "${made} new scenarios, not one for each of the 22 actions:\n${listed}")
endif()
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --update=new ${WORK}/new-vantorel-SetVexaName.json
  OUTPUT_VARIABLE output)
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${WORK}/new-vantorel-SetVexaName.json OUTPUT_VARIABLE again)
if(NOT output MATCHES "UPDATED new-vantorel-SetVexaName.json" OR NOT again MATCHES "1 passed, 0 failed")
  message(FATAL_ERROR "test --update did not fill the new scenario's expect block:\n${output}\n${again}")
endif()

if(PYTHON)
  execute_process(COMMAND ${PYTHON} ${SOURCE}/tests/check_schema.py ${SOURCE}/scenario.schema.json
    --valid ${SOURCE}/examples ${scenarios}/preset-property.json ${scenarios}/unknown-action.json
            ${scenarios}/wrong-expectation.json ${scenarios}/crash ${scenarios}/sweep ${WORK}
    --invalid ${scenarios}/invalid ${scenarios}/bad-json.json
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the schema check failed")
  endif()
endif()
