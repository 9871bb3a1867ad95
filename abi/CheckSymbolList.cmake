# Compares the dynamic symbols a shared library defines with its committed
# list, or writes the list anew.
#   cmake -DLIBRARY=<built .so> -DLIST=<abi/lib*.symbols> [-DUPDATE=ON] [-DUPDATE_HINT=<command>] -P CheckSymbolList.cmake
#
# The list holds the library's own strong definitions: functions and data
# defined in its sources. Weak definitions (inline functions, typeinfo and
# vtables of classes whose virtuals are all inline, the standard library's
# template instances) are emitted wherever the optimiser leaves them, so a
# Debug build has more of them than a release build; the sanitizers add
# symbols of their own. None of these is what an application links against by
# name.
cmake_minimum_required(VERSION 3.20)

if(NOT LIBRARY OR NOT LIST)
  message(FATAL_ERROR "usage: cmake -DLIBRARY=<file> -DLIST=<file> [-DUPDATE=ON] -P CheckSymbolList.cmake")
endif()

execute_process(COMMAND nm -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE rc ERROR_VARIABLE nm_error)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}: ${nm_error}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  # "<address> <type> <name>"; absolute symbols may come without an address.
  if(NOT line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) (.+)$")
    continue()
  endif()
  set(type "${CMAKE_MATCH_1}")
  set(name "${CMAKE_MATCH_2}")
  if(type MATCHES "^[VWuvwi]$")
    continue()
  endif()
  # A mangled name whose first component is a standard-library one: "S" plus
  # a letter (St, Sa, Ss, ...) or __gnu_cxx, possibly behind typeinfo, vtable,
  # guard or local-entity prefixes and a nested-name opening with qualifiers.
  if(name MATCHES "^_Z(T[ISVTHW]|GV|GR)?Z?N?[rVK]*(S[a-z]|9__gnu_cxx)")
    continue()
  endif()
  if(name MATCHES "^__(odr_asan|asan|ubsan|tsan|sancov)")
    continue()
  endif()
  list(APPEND names "${name}")
endforeach()
string(REPLACE ";" "\n" mangled "${names}")

# Demangled, one per line: a reviewer reads the diff, not the encoding.
get_filename_component(list_name ${LIST} NAME)
set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${list_name}.mangled)
file(WRITE ${scratch} "${mangled}\n")
execute_process(COMMAND c++filt INPUT_FILE ${scratch} OUTPUT_VARIABLE demangled RESULT_VARIABLE rc)
file(REMOVE ${scratch})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "c++filt failed")
endif()
# A constructor's or destructor's variants demangle alike and count once.
string(REGEX REPLACE "\n$" "" demangled "${demangled}")
string(REPLACE "\n" ";" demangled "${demangled}")
list(SORT demangled)
list(REMOVE_DUPLICATES demangled)
list(LENGTH demangled count)
string(REPLACE ";" "\n" built "${demangled}")
string(APPEND built "\n")

if(UPDATE)
  file(WRITE ${LIST} "${built}")
  message(STATUS "${list_name}: ${count} symbols written")
  return()
endif()

if(NOT EXISTS ${LIST})
  message(FATAL_ERROR "${LIST} is missing. Write it with: ${UPDATE_HINT}")
endif()
file(READ ${LIST} committed)
if(committed STREQUAL built)
  return()
endif()

# The difference, line by line, both ways.
string(REPLACE "\n" ";" committed_lines "${committed}")
string(REPLACE "\n" ";" built_lines "${built}")
set(report)
foreach(line IN LISTS committed_lines)
  if(NOT line STREQUAL "" AND NOT line IN_LIST built_lines)
    string(APPEND report "  - ${line}\n")
  endif()
endforeach()
foreach(line IN LISTS built_lines)
  if(NOT line STREQUAL "" AND NOT line IN_LIST committed_lines)
    string(APPEND report "  + ${line}\n")
  endif()
endforeach()
message(FATAL_ERROR
  "The symbols ${LIBRARY} exports differ from ${LIST}"
  " (- gone, + new):\n${report}"
  "An accidental change breaks applications built against the library. "
  "If the change is intended, update the list and commit it:\n  ${UPDATE_HINT}\n")
