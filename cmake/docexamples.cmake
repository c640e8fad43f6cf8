# The code blocks of the documentation, taken out for tests_docs (docs/README of the
# rule: "Examples in the documentation").
#
#   vorgrd_doc_examples(<out dir> <examples var> <commands var> <markdown files...>)
#
# Every ```cpp block that holds a whole program (a line starting with "int main") is
# written verbatim to <out dir>/<file>_<line>.cpp and its name (<file>_<line>) added to
# <examples var>; a ```text block that follows it, with nothing but one line of prose
# between them, is its output, written to <name>.out. A ```cpp block that starts with
# an #include line but holds no main() is an error: it reads like a program a user
# would copy, so it must be one. Other ```cpp blocks are fragments that use the
# variables of their page (`grid`, `window`) and are not built. Every line of a ```sh
# block is added to <commands var> as "<file>:<line>:<command>", for tests_docs to
# check that what it names exists.
#
# The blocks are read at configure time; editing a page configures again.

function(vorgrd_doc_examples outdir examples_var commands_var)
  set(examples "")
  set(commands "")
  file(MAKE_DIRECTORY ${outdir})
  foreach(md IN LISTS ARGN)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${md})
    get_filename_component(stem ${md} NAME_WE)
    file(READ ${md} text)
    # Fences open a line: a leading line break lets the first line match too.
    set(text "\n${text}")
    set(line 0)
    set(previous_program "")
    set(between "")
    while(TRUE)
      string(FIND "${text}" "\n```" fence)
      if(fence EQUAL -1)
        break()
      endif()
      math(EXPR fence "${fence} + 1")
      string(SUBSTRING "${text}" 0 ${fence} before)
      string(REGEX MATCHALL "\n" breaks "${before}")
      list(LENGTH breaks n)
      math(EXPR line "${line} + ${n}")
      set(between "${between}${before}")
      math(EXPR after "${fence} + 3")
      string(SUBSTRING "${text}" ${after} -1 text)
      # The info string up to the end of the line, then the body up to the closing fence.
      string(FIND "${text}" "\n" eol)
      string(SUBSTRING "${text}" 0 ${eol} language)
      string(STRIP "${language}" language)
      math(EXPR body_start "${eol} + 1")
      string(SUBSTRING "${text}" ${body_start} -1 text)
      string(FIND "${text}" "\n```" close)
      if(close EQUAL -1)
        message(FATAL_ERROR "${md}:${line}: a code block is not closed")
      endif()
      math(EXPR body_length "${close} + 1")
      string(SUBSTRING "${text}" 0 ${body_length} body)
      # Past the closing fence's backquotes, keeping its line break in front.
      math(EXPR rest "${close} + 4")
      string(SUBSTRING "${text}" ${rest} -1 text)
      set(block_line ${line})
      string(REGEX MATCHALL "\n" breaks "${body}")
      list(LENGTH breaks n)
      math(EXPR line "${line} + ${n} + 1") # the closing fence's line

      string(REGEX MATCHALL "\n" prose "${between}")
      list(LENGTH prose prose_lines)
      if(language STREQUAL "text" AND previous_program AND prose_lines LESS_EQUAL 4)
        file(WRITE ${outdir}/${previous_program}.out.tmp "${body}")
        file(COPY_FILE ${outdir}/${previous_program}.out.tmp ${outdir}/${previous_program}.out ONLY_IF_DIFFERENT)
        file(REMOVE ${outdir}/${previous_program}.out.tmp)
      endif()
      set(previous_program "")
      set(between "")
      if(language STREQUAL "cpp")
        if(body MATCHES "(^|\n)int main\\(")
          set(name ${stem}_${block_line})
          file(WRITE ${outdir}/${name}.cpp.tmp "${body}")
          file(COPY_FILE ${outdir}/${name}.cpp.tmp ${outdir}/${name}.cpp ONLY_IF_DIFFERENT)
          file(REMOVE ${outdir}/${name}.cpp.tmp ${outdir}/${name}.out)
          list(APPEND examples ${name})
          set(previous_program ${name})
        elseif(body MATCHES "^#include")
          message(FATAL_ERROR "${md}:${block_line}: a ```cpp block with #include lines must be a whole program (int main)")
        endif()
      elseif(language STREQUAL "sh")
        string(REGEX MATCHALL "[^\n]*\n" sh_lines "${body}")
        set(at ${block_line})
        foreach(command IN LISTS sh_lines)
          math(EXPR at "${at} + 1")
          string(STRIP "${command}" command)
          if(command)
            list(APPEND commands "${md}:${at}:${command}")
          endif()
        endforeach()
      endif()
    endwhile()
  endforeach()
  set(${examples_var} ${examples} PARENT_SCOPE)
  set(${commands_var} ${commands} PARENT_SCOPE)
endfunction()
