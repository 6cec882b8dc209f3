# Files that are no scenarios: each is one FAIL line naming the file and the
# reason, and the run goes on to its summary. Off Windows also a FIFO (which
# would block) and /dev/zero (which would never end).
# Run with -DACTIONHOST=... -DWORK=... -DPOSIX=ON|OFF [-DEMULATOR=...]
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/good.json [[{"action": "SetVexaName", "parameters": {"MachineName": "1-a", "PropertyId": "N"},
 "expect": {"result": 0, "properties": {"N": "a"}}}]])
file(WRITE ${WORK}/duplicate.json [[{"action": "SetVexaName",
 "action": "SleepCommand", "expect": {"result": 0}}]])
file(WRITE ${WORK}/range.json [[{"action": "CheckDiskCost", "diskCosts": [{"path": "C:", "cost": 99999999999999999999}], "expect": {}}]])
execute_process(COMMAND truncate -s 65M ${WORK}/oversized.json RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot make the oversized file")
endif()
set(expected "FAIL duplicate.json: [^\n]*duplicate.json:2:2: \\$.action: duplicate key \"action\""
             "PASS good.json"
             "FAIL oversized.json: [^\n]*65 MiB, larger than the 64 MiB a scenario file may have"
             "FAIL range.json: [^\n]*range.json:1:66: \\$.diskCosts\\[0\\].cost: number out of range")
set(summary "1 passed, 3 failed")
if(POSIX)
  execute_process(COMMAND mkfifo ${WORK}/fifo.json)
  list(APPEND expected "FAIL fifo.json: [^\n]*fifo.json: not a regular file")
  set(summary "1 passed, 4 failed")
endif()
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${WORK} OUTPUT_VARIABLE output RESULT_VARIABLE rc TIMEOUT 60)
message("${output}")
foreach(line IN LISTS expected)
  if(NOT output MATCHES "${line}")
    message(FATAL_ERROR "no line matches: ${line}")
  endif()
endforeach()
if(NOT output MATCHES "${summary}\n" OR rc EQUAL 0)
  message(FATAL_ERROR "the run did not end with its summary \"${summary}\" and a failure (exit ${rc})")
endif()
if(POSIX)
  execute_process(COMMAND ${ACTIONHOST} run /dev/zero ERROR_VARIABLE errors RESULT_VARIABLE rc TIMEOUT 30)
  if(NOT rc EQUAL 2 OR NOT errors MATCHES "/dev/zero: not a regular file")
    message(FATAL_ERROR "run /dev/zero: exit ${rc}: ${errors}")
  endif()
endif()
