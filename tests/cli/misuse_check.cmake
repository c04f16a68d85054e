# Wrong usage of the host CLI: exit status 2, one line on standard error that says what is wrong
# and where to look, and the machine prefix not even made.
# Variables: CLI, FIXTURE (a file list document), WORK_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)

run(2 frobnicate)
expect_one_line_error("unknown command \"frobnicate\": see webinteractive --help")
run(2 query)
expect_one_line_error("unknown command \"query\": did you mean query xml, query install")
run(2 protect)
expect_one_line_error("protect: missing --list \\(usage: webinteractive protect --list FILE")
execute_process(COMMAND ${CLI} protect --list ${FIXTURE} --guid RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 2)
  message(FATAL_ERROR "an option without its value: exit ${code}")
endif()
expect_one_line_error("--guid needs a value")
run(2 protect --list ${FIXTURE} --force)
expect_one_line_error("unknown option --force")
run(2 protect --list ${FIXTURE} extra)
expect_one_line_error("unexpected argument extra")
run(2 certain --url http://127.0.0.1:9/certain --guid G --version 2x)
expect_one_line_error("--version needs a whole number, not \"2x\"")
run(2 patch parse)
expect_one_line_error("either --file DOC or --url URL")
run(2 config restore --list ${FIXTURE} --type fix)
expect_one_line_error("--type is repair or restore, not fix")
execute_process(COMMAND ${CLI} RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 2)
  message(FATAL_ERROR "no command: exit ${code}")
endif()
expect_one_line_error("no command given: see webinteractive --help")

if(EXISTS ${prefix})
  message(FATAL_ERROR "wrong usage made the machine prefix")
endif()

# --help anywhere after the name shows the command with an example, and changes nothing.
run(0 filelist download --url x --help)
if(NOT out MATCHES "^usage: webinteractive filelist download --url U --guid G"
   OR NOT out MATCHES "example:\n  webinteractive filelist download --url http://127.0.0.1:8080/filelist")
  message(FATAL_ERROR "filelist download --help printed:\n${out}")
endif()
execute_process(COMMAND ${CLI} --help RESULT_VARIABLE code OUTPUT_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out MATCHES "  registry set --key KEY" OR NOT out MATCHES "--json"
   OR NOT out MATCHES "--quiet")
  message(FATAL_ERROR "--help printed:\n${out}")
endif()
