# actionhost test --junit: the report is read back by Python's XML parser.
# Run with -DACTIONHOST=... -DSCENARIOS=... -DREPORT=... -DCHECK=... [-DEMULATOR=...]
file(REMOVE ${REPORT})
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${SCENARIOS}/preset-property.json ${SCENARIOS}/wrong-expectation.json
    ${SCENARIOS}/invalid/syntax.trailing-comma.json ${SCENARIOS}/invalid/unknown-name.action.json --junit ${REPORT} -j 2
  OUTPUT_VARIABLE output RESULT_VARIABLE rc)
message("${output}")
execute_process(COMMAND python3 ${CHECK} ${REPORT} 4
  "syntax.trailing-comma.json=invalid JSON" "unknown-name.action.json=does not export NoSuchAction"
  "wrong-expectation.json=properties.FOUND: expected"
  RESULT_VARIABLE checked)
if(NOT checked EQUAL 0)
  message(FATAL_ERROR "the JUnit report is not as expected")
endif()
