# Every target of ours gets the same warnings; the build stays free of them.
function(vorgrd_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
