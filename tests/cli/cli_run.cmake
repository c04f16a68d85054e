# What the CLI scripts share: a fresh WORK_DIR with a machine prefix in it, and ways to run the
# CLI on that prefix and check what it said. Variables: CLI, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix ${WORK_DIR}/machine)
# Status lines in English, whatever the locale of the test run.
set(ENV{LC_ALL} C.UTF-8)
set(ENV{LANGUAGE} "")

# Runs the CLI; fails unless it exits with `expected_code`. Leaves its output in `out` and `err`.
function(run expected_code)
  execute_process(COMMAND ${CLI} ${ARGN} --prefix ${prefix}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "${ARGN}: exit ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# A failure is told in one line, the last on standard error after the status lines, matching the
# pattern when one is given.
function(expect_one_line_error)
  set(pattern "")
  if(ARGC GREATER 0)
    set(pattern "${ARGV0}")
  endif()
  string(REGEX MATCHALL "(^|\n)webinteractive: " told "${err}")
  list(LENGTH told count)
  string(REGEX REPLACE "^(.*\n)?(webinteractive: [^\n]*)\n$" "\\2" last "${err}")
  if(NOT count EQUAL 1 OR NOT last MATCHES "^webinteractive: " OR NOT last MATCHES "${pattern}")
    message(FATAL_ERROR "expected one line on stderr matching '${pattern}', got:\n${err}")
  endif()
endfunction()
