# How actionhost test collects scenarios, and that it is never green on
# nothing: folders searched with their subfolders (hidden ones and
# node_modules left out, a link back up not followed twice, each file once),
# --filter and --exclude on the path below the folder, a file named on the
# command line always run, SKIP for a scenario without "expect", and exit 5
# when no scenario ran (0 with --no-tests=ignore).
# Run with -DACTIONHOST=... -DWORK=... -DPOSIX=0|1 [-DEMULATOR=...]
file(REMOVE_RECURSE ${WORK})
set(pass [[{"action": "SetVexaName", "parameters": {"MachineName": "a", "PropertyId": "N"}, "expect": {"result": 0}}]])
set(open [[{"action": "SetVexaName", "parameters": {"MachineName": "a", "PropertyId": "N"}}]])
file(MAKE_DIRECTORY ${WORK}/empty)
file(WRITE ${WORK}/below/one/a.json "${pass}")
file(WRITE ${WORK}/below/one/two/b.json "${pass}")
file(WRITE ${WORK}/below/.hidden/c.json "${pass}")
file(WRITE ${WORK}/below/node_modules/d.json "${pass}")
file(WRITE ${WORK}/below/notes.txt "not a scenario")
file(WRITE ${WORK}/mixed/top.json "${pass}")
file(WRITE ${WORK}/mixed/sub/deep.json "${pass}")
file(WRITE ${WORK}/open/x.json "${open}")
file(WRITE ${WORK}/open/y.json "${open}")
if(POSIX)
  # A link back up: the folder is searched once.
  file(CREATE_LINK .. ${WORK}/below/one/up SYMBOLIC)
endif()

set(failures 0)
# check(STATUS REGEX... -- ARGUMENTS...): test ARGUMENTS exits STATUS and its
# output matches every REGEX.
function(check status)
  set(patterns "")
  set(arguments "")
  set(into patterns)
  foreach(item IN LISTS ARGN)
    if(item STREQUAL "--")
      set(into arguments)
    else()
      list(APPEND ${into} "${item}")
    endif()
  endforeach()
  execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} test ${arguments} OUTPUT_VARIABLE output ERROR_VARIABLE errors
                  RESULT_VARIABLE rc)
  set(wrong "")
  if(NOT rc EQUAL status)
    set(wrong "exit ${rc}, expected ${status}")
  endif()
  foreach(pattern IN LISTS patterns)
    if(NOT output MATCHES "${pattern}")
      set(wrong "${wrong} no line matches ${pattern}")
    endif()
  endforeach()
  string(REPLACE "${WORK}/" "" shown "${arguments}")
  if(wrong)
    message("FAILED: test ${shown}: ${wrong}\n${output}${errors}")
    math(EXPR count "${failures} + 1")
    set(failures ${count} PARENT_SCOPE)
  else()
    message("ok: test ${shown}")
  endif()
endfunction()

check(5 "^0 passed, 0 failed\r?\nno scenario ran: no scenario file [(][*][.]json[)] was found in [^\n]*empty" -- ${WORK}/empty)
check(0 "PASS one/a.json" "PASS one/two/b.json" "^PASS one/a.json\r?\nPASS one/two/b.json\r?\n2 passed, 0 failed\r?\n$"
      -- ${WORK}/below)
check(5 "no scenario ran: --filter and --exclude left out all 2 scenario files" -- ${WORK}/below --filter nothing*)
check(0 "^PASS one/a.json\r?\n1 passed, 0 failed" -- ${WORK}/below --filter "one/*.json")
check(0 "^PASS one/two/b.json\r?\n1 passed" -- ${WORK}/below --filter "**/b.json")
check(0 "^PASS one/a.json\r?\n1 passed" -- ${WORK}/below --exclude "**/two/*")
check(0 "^PASS top.json\r?\n1 passed, 0 failed" -- ${WORK}/mixed --filter "*.json")
check(0 "^PASS sub/deep.json\r?\nPASS top.json\r?\n2 passed" -- ${WORK}/mixed --filter "**.json")
# A file named on the command line runs, whatever the filter; each file once.
check(0 "^PASS top.json\r?\nPASS sub/deep.json\r?\n2 passed, 0 failed\r?\n$"
      -- ${WORK}/mixed/top.json ${WORK}/mixed ${WORK}/mixed/sub/deep.json --filter nothing)
check(5 "SKIP x.json: no \"expect\" block [(]actionhost test --update=new fills it[)]" "SKIP y.json"
      "0 passed, 0 failed, 2 skipped\r?\nno scenario ran: none of the 2 scenario files has an \"expect\" block"
      -- ${WORK}/open)
check(0 "0 passed, 0 failed, 2 skipped" -- ${WORK}/open --no-tests=ignore)
check(0 "1 passed, 0 failed, 2 skipped" -- ${WORK}/open ${WORK}/mixed/top.json)
check(2 -- ${WORK}/open --no-tests=never)
check(2 -- ${WORK}/open --in-process --timeout 5)
# check searches folders as test does, and names the file of every error.
file(WRITE ${WORK}/nolib/s.json [[{"library": "no-such-lib.so", "action": "X"}]])
execute_process(COMMAND ${EMULATOR} ${ACTIONHOST} check ${WORK}/below ${WORK}/nolib OUTPUT_VARIABLE output RESULT_VARIABLE rc)
# (Under Wine the paths are Windows paths.)
if(NOT rc EQUAL 2 OR NOT output MATCHES "^ok [^\n]*one[/\\]a.json\r?\nok [^\n]*one[/\\]two[/\\]b.json\r?\n[^\n]*nolib[/\\]s.json: [$].library: library no-such-lib.so not found")
  message("FAILED: check below nolib: exit ${rc}\n${output}")
  math(EXPR failures "${failures} + 1")
else()
  message("ok: check below nolib")
endif()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} collection case(s) failed")
endif()
