# Runs the host CLI's filelist commands on a small file list document (GB2312, two softwares, the
# first with two versions, a size beyond 32 bits) on a fresh machine prefix.
# Variables: CLI, FIXTURE, WORK_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)

# The saved upload file list is the document itself with "Baseinfo" for "BaseInfo": every record,
# file, dependence and configuration entry read back and written again, GB2312 text and the full
# 64-bit size included.
file(READ ${FIXTURE} fixture)
string(REPLACE "<BaseInfo>" "<Baseinfo>" expected "${fixture}")
string(REPLACE "</BaseInfo>" "</Baseinfo>" expected "${expected}")
run(0 filelist save --list ${FIXTURE} --out "C:\\saved.xml")
file(READ ${prefix}/drive_c/saved.xml saved)
if(NOT saved STREQUAL expected)
  message(FATAL_ERROR "saved upload file list differs from the document:\n${saved}")
endif()
# ... and reads back in its upload form to the same document.
run(0 filelist save --list ${prefix}/drive_c/saved.xml --out "C:\\again.xml")
file(READ ${prefix}/drive_c/again.xml again)
if(NOT again STREQUAL saved)
  message(FATAL_ERROR "an upload file list read back does not give itself again:\n${again}")
endif()

# The text form goes to standard output alone, its status lines to standard error.
run(0 filelist create --list ${FIXTURE})
string(REGEX MATCHALL "<Version><VersionInfo>" versions "${out}")
list(LENGTH versions count)
if(NOT out MATCHES "^<\\?xml version=\"1.0\"\\?>\n<softwares><software><BaseInfo>" OR
   NOT out MATCHES "<Size>5000000000</Size>" OR NOT count EQUAL 3)
  message(FATAL_ERROR "filelist create printed:\n${out}")
endif()
if(NOT err MATCHES "\\.\\.\\.[{]B[}]")
  message(FATAL_ERROR "filelist create sent no status lines to stderr:\n${err}")
endif()

# An upload that reaches no service fails, and leaves no temporary document behind.
run(1 filelist upload --list ${FIXTURE} --url http://127.0.0.1:1/upload)
file(GLOB left ${prefix}/drive_c/users/Public/Documents/UpFileListTemp*)
if(left)
  message(FATAL_ERROR "upload left ${left}")
endif()

# A malformed document, a value that is no number, a document without records and a missing
# file fail with one line and write nothing; a missing option is wrong usage.
file(WRITE ${WORK_DIR}/truncated.xml "<softwares><software><BaseInfo><GUID>x</GUID>")
file(WRITE ${WORK_DIR}/bad_size.xml "<softwares><software><BaseInfo><GUID>x</GUID></BaseInfo>\
<Version><VersionInfo><Size>5e9</Size></VersionInfo></Version></software></softwares>")
file(WRITE ${WORK_DIR}/empty.xml "<softwares/>")
foreach(document truncated bad_size empty missing)
  run(1 filelist save --list ${WORK_DIR}/${document}.xml --out "C:\\${document}.xml")
  expect_one_line_error()
  if(EXISTS ${prefix}/drive_c/${document}.xml)
    message(FATAL_ERROR "${document}.xml was written")
  endif()
endforeach()
if(NOT err MATCHES "missing.xml")
  message(FATAL_ERROR "the message does not name the file: ${err}")
endif()
run(2 filelist save --list ${FIXTURE})
