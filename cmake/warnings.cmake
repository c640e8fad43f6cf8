# Every target of ours gets the same warnings; the build stays free of them.
# CI builds with VORGRD_WERROR, so that a warning fails the run instead of piling up.
include_guard(GLOBAL)
option(VORGRD_WERROR "Treat compiler warnings as errors" OFF)
function(vorgrd_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(VORGRD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
