# actionhost test -j: scenarios run at once, and the output is the same as
# one at a time, in the scenarios' order.
# Run with -DACTIONHOST=... -DSCENARIOS=... [-DEMULATOR=...]
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${SCENARIOS} -j 1 OUTPUT_VARIABLE one RESULT_VARIABLE rc1)
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${SCENARIOS} -j 4 OUTPUT_VARIABLE four RESULT_VARIABLE rc4)
message("${four}")
if(NOT one STREQUAL four OR NOT rc1 EQUAL rc4)
  message(FATAL_ERROR "-j 4 printed another output than -j 1:\n${one}")
endif()
