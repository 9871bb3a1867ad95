# Our own code builds warning-free; outside code (GoogleTest, Qt) is not held to it.
function(fonexa_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
