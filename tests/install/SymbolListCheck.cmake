# The symbol-list check passes on the committed list and, on a list that lost
# one symbol and gained another, fails naming both and the command that
# updates the list.
#   cmake -DLIBRARY=<.so> -DLIST=<committed list> -DSCRIPT=<CheckSymbolList.cmake> -DWORK=<dir> -P SymbolListCheck.cmake
cmake_minimum_required(VERSION 3.20)

function(run_check list out_rc out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DLIBRARY=${LIBRARY} -DLIST=${list}
                          "-DUPDATE_HINT=update-the-list" -P ${SCRIPT}
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${out_rc} ${rc} PARENT_SCOPE)
  set(${out_text} "${out}${err}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${WORK})
run_check(${LIST} rc text)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the committed list does not match the built library:\n${text}")
endif()

file(STRINGS ${LIST} lines)
list(LENGTH lines count)
if(count LESS 10)
  message(FATAL_ERROR "${LIST} holds only ${count} symbols")
endif()
list(GET lines 0 dropped)
file(READ ${LIST} committed)
string(FIND "${committed}" "\n" first_end)
math(EXPR rest_start "${first_end} + 1")
string(SUBSTRING "${committed}" ${rest_start} -1 rest)
set(tampered ${WORK}/tampered.symbols)
file(WRITE ${tampered} "${rest}NoSuchExport(int)\n")

run_check(${tampered} rc text)
file(REMOVE_RECURSE ${WORK})
if(rc EQUAL 0)
  message(FATAL_ERROR "the check passed a list that lost '${dropped}' and gained NoSuchExport(int)")
endif()
foreach(expected "  + ${dropped}" "  - NoSuchExport(int)" "update-the-list")
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check's message lacks '${expected}':\n${text}")
  endif()
endforeach()
message(STATUS "the check reports both differences")
