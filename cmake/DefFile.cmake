# read_def_exports(FILE OUT): the names listed under EXPORTS in a .def file
# (comments and ordinals dropped).
function(read_def_exports file out)
  file(STRINGS ${file} def_lines)
  set(names "")
  set(in_exports FALSE)
  foreach(line IN LISTS def_lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "EXPORTS")
      set(in_exports TRUE)
    elseif(in_exports AND line AND NOT line MATCHES "^;")
      # The exported name: the first word, without a stdcall "@N" suffix
      # (Visual C++'s decorated names hold "@" themselves).
      string(REGEX REPLACE "[ \t].*$" "" symbol "${line}")
      string(REGEX REPLACE "@[0-9]+$" "" symbol "${symbol}")
      list(APPEND names ${symbol})
    endif()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()
