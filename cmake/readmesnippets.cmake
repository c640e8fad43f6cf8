# Writes every ```cpp block of a Markdown file as a function of a C++ source, so that
# a test can build and run them: the block's #include lines go to the top of the
# file, the rest becomes the body of `void readmeSnippet<N>(QWidget *window)`.
#   cmake -DIN=README.md -DOUT=snippets.inc -P readmesnippets.cmake
file(STRINGS ${IN} lines)
set(includes "")
set(bodies "")
set(count 0)
set(inside FALSE)
foreach(line IN LISTS lines)
  if(NOT inside AND line MATCHES "^```cpp[ \t]*$")
    set(inside TRUE)
    math(EXPR count "${count} + 1")
    string(APPEND bodies "\nvoid readmeSnippet${count}([[maybe_unused]] QWidget *window)\n{\n")
  elseif(inside AND line MATCHES "^```")
    set(inside FALSE)
    string(APPEND bodies "}\n")
  elseif(inside AND line MATCHES "^#include")
    string(APPEND includes "${line}\n")
  elseif(inside)
    string(APPEND bodies "    ${line}\n")
  endif()
endforeach()
if(inside)
  message(FATAL_ERROR "${IN}: a ```cpp block is not closed")
endif()
set(list "")
foreach(i RANGE 1 ${count})
  if(count GREATER 0)
    string(APPEND list "    readmeSnippet${i},\n")
  endif()
endforeach()
file(WRITE ${OUT}.tmp
  "// Generated from ${IN} by cmake/readmesnippets.cmake; do not edit.\n"
  "#include <QWidget>\n${includes}\n"
  "#pragma GCC diagnostic push\n#pragma GCC diagnostic ignored \"-Wunused-variable\"\n"
  "#pragma GCC diagnostic ignored \"-Wunused-but-set-variable\"\n"
  "${bodies}\n#pragma GCC diagnostic pop\n\n"
  "inline constexpr int readmeSnippetCount = ${count};\n"
  "inline void (*const readmeSnippets[])(QWidget *) = {\n${list}    nullptr};\n")
# Only a changed text touches the output, so an unchanged README rebuilds nothing.
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
