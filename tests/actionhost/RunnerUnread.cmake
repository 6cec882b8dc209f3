# What a scenario gives that the run never uses. A parameter the action
# never reads on any path (a misspelt name): run and call name it on
# standard error and keep their exit status; test names it right after the
# scenario's line, under --fault-sweep from the run without a fault;
# --strict fails it. A parameter read on another path (a fault ends the
# action before it) is named but fails nothing. A fault that fires at no
# call is named too, and fails --strict, except under the sweep.
# Run with -DACTIONHOST=... -DWORK=... [-DEMULATOR=...]
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/misspelt.json [[{"action": "SetVexaName", "parameters": {"MachineNam": "42-ws", "PropertyId": "N"},
 "properties": {"OnlyAProperty": "x"}, "expect": {"result": 0}}
]])
set(line [[SetVexaName has no parameter "MachineNam"; its parameters: MachineName, PropertyId]])

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
if(out MATCHES "has no parameter")
  message(FATAL_ERROR "run: the line went to standard output\n${out}")
endif()
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} call vantorel SetVexaName --param MachineNam=a
  RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
expect("call" "${status}" "${err}" "${line}" 0)

foreach(mode "" --fault-sweep --in-process)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${WORK}/misspelt.json ${mode}
    RESULT_VARIABLE status OUTPUT_VARIABLE out)
  expect("test ${mode}" "${status}" "${out}" "PASS misspelt.json[^\n]*\r?\n${line}\r?\n1 passed, 0 failed" 0)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --strict ${WORK}/misspelt.json ${mode}
    RESULT_VARIABLE status OUTPUT_VARIABLE out)
  expect("test --strict ${mode}" "${status}" "${out}" "FAIL misspelt.json: [^\n]*--strict[^\n]*\r?\n${line}\r?\n0 passed, 1 failed" 1)
endforeach()

# A fault at the state ends ChangeFeatureState before it reads FeatureID:
# information only, and the scenario passes --strict.
file(WRITE ${WORK}/early-exit.json [[{"action": "ChangeFeatureState", "parameters": {"State": "Install", "FeatureID": "root"},
 "faults": ["GetParameter:State"], "expect": {"result": 1}}
]])
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --strict ${WORK}/early-exit.json
  RESULT_VARIABLE status OUTPUT_VARIABLE out)
expect("test --strict, a parameter read on another path" "${status}" "${out}"
  "PASS early-exit.json\r?\nparameter \"FeatureID\" was not read in this run; ChangeFeatureState read: State\r?\n1 passed, 0 failed" 0)

# A misspelt fault: the run goes on as if there were none, and says so.
file(WRITE ${WORK}/misspelt-fault.json [[{"action": "SetVexaName", "parameters": {"MachineName": "42-ws", "PropertyId": "N"},
 "faults": ["GetParameter:MachineNam"], "expect": {"result": 0}}
]])
set(fault [[fault "GetParameter:MachineNam" never fired in this run; nearest calls made: GetParameter:MachineName, ]])
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} run ${WORK}/misspelt-fault.json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
expect("run, a fault that never fired" "${status}" "${err}" "^${fault}" 0)
foreach(mode "" --in-process)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${WORK}/misspelt-fault.json ${mode}
    RESULT_VARIABLE status OUTPUT_VARIABLE out)
  expect("test ${mode}, a fault that never fired" "${status}" "${out}" "PASS misspelt-fault.json\r?\n${fault}" 0)
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --strict ${WORK}/misspelt-fault.json ${mode}
    RESULT_VARIABLE status OUTPUT_VARIABLE out)
  expect("test --strict ${mode}, a fault that never fired" "${status}" "${out}"
    "FAIL misspelt-fault.json: [^\n]*--strict[^\n]*\r?\n${fault}" 1)
endforeach()
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test --strict --fault-sweep ${WORK}/misspelt-fault.json
  RESULT_VARIABLE status OUTPUT_VARIABLE out)
expect("test --strict --fault-sweep: the sweep places its own faults" "${status}" "${out}"
  "PASS misspelt-fault.json[^\n]*\r?\n1 passed, 0 failed" 0)
