# A parameter the action never read: run and call name it on standard error
# and keep their exit status; test names it right after the scenario's line,
# under --fault-sweep from the run without a fault; --strict fails it.
# Run with -DACTIONHOST=... -DWORK=... [-DEMULATOR=...]
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/misspelt.json [[{"action": "SetVexaName", "parameters": {"MachineNam": "42-ws", "PropertyId": "N"},
 "properties": {"OnlyAProperty": "x"}, "expect": {"result": 0}}
]])
set(line [[parameter "MachineNam" was not read in this run; SetVexaName read: MachineName \(not given\), PropertyId]])

function(expect what status output pattern)
  if(NOT status EQUAL ${ARGV4})
    message(FATAL_ERROR "${what}: exit status ${status}, expected ${ARGV4}\n${output}")
  endif()
  if(NOT output MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: no match for ${pattern} in\n${output}")
  endif()
  if(output MATCHES "OnlyAProperty")
    message(FATAL_ERROR "${what}: a property was named as a parameter\n${output}")
  endif()
endfunction()

execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} run ${WORK}/misspelt.json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
expect("run, standard error" "${status}" "${err}" "^${line}\r?\n$" 0)
expect("run, standard output" "${status}" "${out}" "N = \"VexaName\"" 0)
if(out MATCHES "was not read")
  message(FATAL_ERROR "run: the line went to standard output\n${out}")
endif()
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} call vantorel SetVexaName --param MachineNam=a
  RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
expect("call" "${status}" "${err}" "parameter \"MachineNam\" was not read in this run; SetVexaName read: MachineName \\(not given\\), PropertyId \\(not given\\)" 0)

foreach(mode "" --fault-sweep --in-process)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${WORK}/misspelt.json ${mode}
    RESULT_VARIABLE status OUTPUT_VARIABLE out)
  expect("test ${mode}" "${status}" "${out}" "PASS misspelt.json[^\n]*\r?\n${line}\r?\n1 passed, 0 failed" 0)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --strict ${WORK}/misspelt.json ${mode}
    RESULT_VARIABLE status OUTPUT_VARIABLE out)
  expect("test --strict ${mode}" "${status}" "${out}" "FAIL misspelt.json: [^\n]*--strict[^\n]*\r?\n${line}\r?\n0 passed, 1 failed" 1)
endforeach()
