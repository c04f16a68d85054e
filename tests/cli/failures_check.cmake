# Failed operations of the host CLI: exit status 1, one line on standard error that says what is
# wrong and what to do, and nothing written in the store or the registry.
# Variables: CLI, FIXTURE (a file list document), WORK_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)

# Record files that cannot be read (with the system's reason), documents that are no XML (with
# where the first error is) and documents that are no file list.
run(1 protect --list ${WORK_DIR}/missing.xml)
expect_one_line_error("cannot open .*missing.xml: No such file or directory: give a file list document")
file(WRITE ${WORK_DIR}/cut.xml "<softwares>\n  <software>\n  </softwar>\n")
run(1 protect --list ${WORK_DIR}/cut.xml)
expect_one_line_error("cut.xml: the document is not well-formed XML.* \\(the first error at line 3, column [0-9]+\\)")
file(WRITE ${WORK_DIR}/ids.xml "<softids><softid GUID=\"{X}\"/></softids>")
run(1 protect --list ${WORK_DIR}/ids.xml)
expect_one_line_error("ids.xml.*give a file list document")
file(WRITE ${WORK_DIR}/broken.xml "<softwares><software>")
run(1 config protect --list ${WORK_DIR}/broken.xml)
expect_one_line_error("broken.xml")
run(1 init --config ${WORK_DIR})
expect_one_line_error("cannot read .*: check that the file exists")
run(1 protect --list ${WORK_DIR})
expect_one_line_error("cli_failures")

# An address that is none, a scheme the service is not reached by and a name that does not
# resolve are each told as such, not as a service that does not run.
run(1 softlist download --url 127.0.0.1:9/softlist)
expect_one_line_error("127.0.0.1:9/softlist is no address: give it as http://HOST:PORT/PATH")
run(1 softlist download --url ftp://127.0.0.1:9/softlist)
expect_one_line_error("ftp://127.0.0.1:9/softlist: ftp is no scheme the service is reached by")
run(1 patch download --url http://no-such-host.invalid/patch --id P1)
expect_one_line_error("cannot resolve the host name no-such-host.invalid of http://no-such-host.invalid/patch")

# No service where the address points: said as such, with what to do.
foreach(command "softlist download" "filelist download --guid {S1} --save C:\\\\list.xml"
                "download install --subdir t --name setup.exe" "patch parse")
  separate_arguments(words UNIX_COMMAND "${command}")
  run(1 ${words} --url http://127.0.0.1:9/x)
  expect_one_line_error("cannot reach http://127.0.0.1:9/x: is webinteractive-service running\\? Start it")
endforeach()

# A failure of the command's own input is told as it is, even with no service at the address.
run(1 installinfo upload --list ${FIXTURE} --guid {NONE} --url http://127.0.0.1:9/x)
expect_one_line_error("holds no software \\{NONE\\}")

# Under --json the failure is in the document on standard output too.
run(1 softlist download --url http://127.0.0.1:9/x --json)
if(NOT out STREQUAL "{\"command\":\"softlist download\",\"exit\":1,\"error\":\"cannot reach http://127.0.0.1:9/x: is webinteractive-service running? Start it, or check the address\",\"result\":{\"softwares\":[]}}\n")
  message(FATAL_ERROR "softlist download --json printed:\n${out}")
endif()

foreach(written drive_c/list.xml drive_d/qel_protect drive_c/qel_protect system.reg)
  if(EXISTS ${prefix}/${written})
    message(FATAL_ERROR "a failed command wrote ${written}")
  endif()
endforeach()

# A configuration that is no XML (Init makes the empty store on the way).
file(WRITE ${WORK_DIR}/notes.txt "not xml at all")
run(1 init --config ${WORK_DIR}/notes.txt)
expect_one_line_error("notes.txt: the document is not well-formed XML.*line 1, column 1\\)$")

# Queries of a software that is not protected (Init makes the empty store on the way).
run(1 query version --guid {S1})
expect_one_line_error("\\{S1\\} is not protected: protect it first")
run(1 clean --guid {S1})
expect_one_line_error("nothing was removed")
