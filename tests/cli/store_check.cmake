# Runs the host CLI's store commands on a fresh machine prefix: a software of a file list document
# protected, queried and cleaned, and the failures of each.
# Variables: CLI, FIXTURE, WORK_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)
set(store ${prefix}/drive_d/qel_protect/software)

# The last line of standard output, without its line end.
function(expect_last_line expected)
  string(REGEX REPLACE "\n$" "" text "${out}")
  string(REGEX REPLACE "^.*\n" "" last "${text}")
  if(NOT last STREQUAL expected)
    message(FATAL_ERROR "expected the answer '${expected}', got:\n${out}")
  endif()
endfunction()

run(0 machine)
file(WRITE ${prefix}/drive_d/App/a.exe "program")
file(WRITE ${prefix}/drive_c/Windows/dep.dll "shared")

run(0 protect --list ${FIXTURE})
if(NOT out STREQUAL "ProtectFilesToLocal: 1\n" OR NOT err MATCHES "\nProtection succeeded\n")
  message(FATAL_ERROR "protect printed:\n${out}${err}")
endif()
file(READ ${store}/{S1}/2/App/a.exe copied)
if(NOT copied STREQUAL "program" OR NOT EXISTS ${store}/Dependence/Windows/dep.dll)
  message(FATAL_ERROR "the files were not stored")
endif()

# Each run loads the table from the user document the protection wrote.
run(0 query xml --guid {S1})
expect_last_line("D:\\qel_protect\\software\\{S1}\\Protect.xml")
run(0 query version --guid {S1})
expect_last_line("2")
run(0 query install --guid {S1})
expect_last_line("D:\\App")
run(0 query file --xml "D:\\qel_protect\\software\\{S1}\\Protect.xml" --source "C:\\Config.xml")
expect_last_line("D:\\qel_protect\\software\\{S1}\\2\\Config.xml")

# A software whose file is missing is not protected; unknown softwares are not found.
run(1 protect --list ${FIXTURE} --guid {S2})
expect_one_line_error()
if(NOT err MATCHES "\nProtection failed\n")
  message(FATAL_ERROR "a failed protection printed:\n${err}")
endif()
run(1 protect --list ${FIXTURE} --guid {S3})
expect_one_line_error()
foreach(query xml install version)
  run(1 query ${query} --guid {S3})
  expect_one_line_error()
endforeach()
run(1 query file --xml "D:\\none.xml" --source "C:\\Config.xml")
expect_one_line_error()

run(0 clean --guid {S1})
if(EXISTS ${store}/{S1} OR NOT EXISTS ${store}/Dependence/Windows/dep.dll)
  message(FATAL_ERROR "clean removed the wrong things")
endif()
run(1 clean --guid {S1})
expect_one_line_error()
run(1 query xml --guid {S1})
run(2 clean)
