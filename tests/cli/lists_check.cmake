# Runs the host CLI's list commands on a fresh machine prefix: a patch list read from a local file
# and saved as an upload file list, and list downloads from a file:// address, which the download
# refuses (http and https only) with one line and nothing saved.
# Variables: CLI, FIXTURES (the service tests' fixture documents), WORK_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)

# A GB2312 patch list on a UTF-8 host: one line per version, the Chinese name intact, and the
# records saved as an upload file list.
run(0 patch parse --file ${FIXTURES}/patch_list_gb2312.xml --save "C:\\patches.xml")
set(first "software {BASE} \"补丁软件\" version \"3.0\": 0 files, 0 dependences, 0 configuration entries, 2 patches")
if(NOT out MATCHES "${first}\n" OR NOT out MATCHES "software  \"\" version \"\": 0 files, 0 dependences, 0 configuration entries, 1 patches\n"
   OR NOT out MATCHES "saved 3 records to C:\\\\patches.xml"
   OR NOT out MATCHES "\n  patch K1 \"[^\n]*\"\n")
  message(FATAL_ERROR "patch parse printed:\n${out}")
endif()
file(READ ${prefix}/drive_c/patches.xml saved HEX)
# "<GUID>{BASE}</GUID>" and "补丁软件" in GB2312
if(NOT saved MATCHES "3c475549443e7b424153457d3c2f475549443e" OR NOT saved MATCHES "b2b9b6a1c8edbcfe")
  message(FATAL_ERROR "the saved upload file list lacks the first record")
endif()

# A document of another root reads no versions; a missing file cannot be read.
run(1 patch parse --file ${FIXTURES}/filelist_wrong_root.xml)
expect_one_line_error("ParsePatchsList read no software versions")
run(1 patch parse --file ${WORK_DIR}/missing.xml)
expect_one_line_error("missing.xml")

# file:// is no address the download takes: one line naming the scheme, nothing saved.
run(1 filelist download --url file://${FIXTURES}/filelist_gb2312.xml --guid {A1B2}
  --save "C:\\filelist.xml")
expect_one_line_error("file is no scheme the service is reached by: give an http:// or https://")
run(1 certain --url file://${FIXTURES}/certain_gb2312.xml --guid {R1} --version -1
  --save "C:\\certain.xml")
expect_one_line_error("file is no scheme the service is reached by")
foreach(name filelist certain)
  if(EXISTS ${prefix}/drive_c/${name}.xml)
    message(FATAL_ERROR "${name}.xml was written")
  endif()
endforeach()

# An address where nothing listens is told as such; a version that is no number is wrong usage.
run(1 filelist download --url http://127.0.0.1:1/list --guid {A1B2})
expect_one_line_error("cannot reach http://127.0.0.1:1/list: is webinteractive-service running")
run(2 certain --url http://127.0.0.1:1/list --guid {R1} --version 1x)
run(2 filelist download --url http://127.0.0.1:1/list)
