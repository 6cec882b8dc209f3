# actionhost test --update round trip: a scenario without "expect" is filled
# with the observed outcome and then passes, keeping its other keys, their
# order and its indentation; --update=new leaves a failing expectation alone,
# --update rewrites it.
# Run with -DACTIONHOST=... -DWORK=... [-DEMULATOR=...]
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/fill.json [[{
    "description": "Filled by --update.",
    "action": "SetVexaName",
    "parameters": {
        "MachineName": "42-ws.build",
        "PropertyId": "NAME"
    }
}
]])
file(WRITE ${WORK}/wrong.json [[{"action": "SetVexaName", "parameters": {"MachineName": "a", "PropertyId": "N"},
 "expect": {"result": 1}}
]])
function(run_test expected)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${WORK} ${ARGN} OUTPUT_VARIABLE output)
  message("${output}")
  foreach(line IN LISTS expected)
    if(NOT output MATCHES "${line}")
      message(FATAL_ERROR "after test ${ARGN}: no line matches ${line}")
    endif()
  endforeach()
endfunction()
run_test("UPDATED fill.json;FAIL wrong.json" --update=new)
run_test("PASS fill.json;FAIL wrong.json")
file(READ ${WORK}/fill.json filled)
if(NOT filled MATCHES "^{\n    \"description\": \"Filled by --update.\",\n    \"action\": \"SetVexaName\",\n    \"parameters\": {")
  message(FATAL_ERROR "the file lost its keys, their order or its indentation:\n${filled}")
endif()
if(NOT filled MATCHES "\"expect\": {\n        \"result\": 0,")
  message(FATAL_ERROR "no expect block was written:\n${filled}")
endif()
run_test("PASS fill.json;UPDATED wrong.json: result differs" --update)
run_test("PASS fill.json;PASS wrong.json;2 passed, 0 failed")

# An update cannot stand for what --strict or --fault-sweep check: a usage
# error, and the file stays as it was.
file(READ ${WORK}/wrong.json before)
foreach(option --strict --fault-sweep)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${WORK} --update ${option}
    RESULT_VARIABLE status ERROR_VARIABLE error OUTPUT_QUIET)
  if(NOT status EQUAL 2 OR NOT error MATCHES "--update cannot be given with ${option}")
    message(FATAL_ERROR "test --update ${option}: status ${status}, ${error}")
  endif()
endforeach()
file(READ ${WORK}/wrong.json after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "a refused update changed the file")
endif()
