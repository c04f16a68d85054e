# expect_run(CODE PATTERN COMMAND...): runs the command and fails unless it exits with CODE and
# its standard output matches PATTERN. For the scripts that run the host CLI as a user would.
function(expect_run expected_code pattern)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "${ARGN}: exit ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
  if(NOT "${out}" MATCHES "${pattern}")
    message(FATAL_ERROR "${ARGN}: output does not match '${pattern}':\n${out}")
  endif()
endfunction()
