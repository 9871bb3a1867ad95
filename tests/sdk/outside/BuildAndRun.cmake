# Compiles a program against the public headers alone, links it with
# libFonexa.so alone, and runs it.
#   cmake -DCOMPILER=... -DINCLUDE=... -DLIBRARY_DIR=... -DSOURCE=... -DWORK=... [-DSANITIZE=ON|thread] -P BuildAndRun.cmake
# A library built with the sanitizers needs their runtime in the program too.
file(MAKE_DIRECTORY ${WORK})
set(sanitizers)
if(SANITIZE STREQUAL "thread")
  set(sanitizers -fsanitize=thread)
elseif(SANITIZE)
  set(sanitizers -fsanitize=address,undefined)
endif()
execute_process(
  COMMAND ${COMPILER} -std=c++20 -Wall -Wextra -Werror ${sanitizers} -I${INCLUDE} ${SOURCE}
          -L${LIBRARY_DIR} -lFonexa -Wl,-rpath,${LIBRARY_DIR} -o ${WORK}/consumer
  RESULT_VARIABLE compiled
  OUTPUT_VARIABLE compileOutput ERROR_VARIABLE compileOutput)
if(NOT compiled EQUAL 0)
  message(FATAL_ERROR "the program did not build:\n${compileOutput}")
endif()
execute_process(COMMAND ${WORK}/consumer RESULT_VARIABLE ran OUTPUT_VARIABLE runOutput ERROR_VARIABLE runOutput)
message(STATUS "${runOutput}")
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "the program failed (${ran})")
endif()
