# The runner's limit: a scenario whose command never ends times out, the run
# goes on to its summary, and the command is no longer running afterwards.
# Run with -DACTIONHOST=... -DWRITER=... -DSCENARIOS=... -DPIDFILE=... [-DEMULATOR=...]
file(REMOVE ${PIDFILE})
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${SCENARIOS} --timeout 30
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE rc)
message("${output}")
if(NOT output MATCHES "FAIL hang.json: timed out after 3 s" OR NOT output MATCHES "0 passed, 1 failed")
  message(FATAL_ERROR "the scenario did not time out as it should (exit ${rc}): ${errors}")
endif()
if(rc EQUAL 0)
  message(FATAL_ERROR "a timed-out run exited 0")
endif()
execute_process(COMMAND ${EMULATOR} ${WRITER} gone ${PIDFILE} RESULT_VARIABLE gone ERROR_VARIABLE why)
if(NOT gone EQUAL 0)
  message(FATAL_ERROR "the command of the timed-out scenario is still running: ${why}")
endif()
