# Every target of ours gets the same warnings; the build stays free of them.
include_guard(GLOBAL)
function(vorgrd_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
