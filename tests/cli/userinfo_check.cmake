# Runs the host CLI's configuration and user-information commands on a fresh machine prefix: a
# software's configuration entries written by "config protect", put in a store as a protection
# leaves them, restored into the registry store by "config restore" and listed by "registry show".
# Variables: CLI, FIXTURES (this folder), WORK_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)

# An empty registry shows nothing.
run(0 registry show)
if(NOT out STREQUAL "")
  message(FATAL_ERROR "a new machine's registry shows:\n${out}")
endif()

# The configuration document of the first software, at a temporary path of the machine.
run(0 config protect --list ${FIXTURES}/userinfo_list.xml)
if(NOT out MATCHES "(C:\\\\users\\\\Public\\\\Documents\\\\ConfigTemp[^\n]*\\.xml)\n$")
  message(FATAL_ERROR "config protect printed:\n${out}")
endif()
string(REPLACE "C:\\users\\Public\\Documents\\" "${prefix}/drive_c/users/Public/Documents/"
  written "${CMAKE_MATCH_1}")

# The store as a protection of {CFG} leaves it on D:, with the document above in it.
set(store ${prefix}/drive_d/qel_protect/software)
file(MAKE_DIRECTORY ${store}/{CFG}/1)
configure_file(${written} ${store}/{CFG}/1/Config.xml COPYONLY)
configure_file(${FIXTURES}/userinfo_protect.xml ${store}/{CFG}/Protect.xml COPYONLY)
configure_file(${FIXTURES}/userinfo_user.xml ${store}/qeluser.xml COPYONLY)

# Restored in the log's words, each entry with the default action (set), the scratch copy gone.
run(0 config restore --list ${FIXTURES}/userinfo_list.xml --type repair)
if(NOT out MATCHES "配置项K1 修复成功\n配置项K2 修复成功\nRestoreConfig: 1\n$")
  message(FATAL_ERROR "config restore printed:\n${out}")
endif()
if(EXISTS ${prefix}/drive_c/Config.xml)
  message(FATAL_ERROR "the scratch copy C:\\Config.xml was left")
endif()
run(0 registry show)
if(NOT out STREQUAL "HKEY_CURRENT_USER\\Software\\CliTest\tK1\t1\tone\nHKEY_CURRENT_USER\\Software\\CliTest\tK2\t4\ttwo\n")
  message(FATAL_ERROR "registry show printed:\n${out}")
endif()

# A value changed by hand is put back by the next restore; a value the store refuses is told in
# one line and leaves the store as it was; a type that is no number is wrong usage.
run(0 registry set --key "HKEY_CURRENT_USER\\Software\\CliTest" --name K1 --type 1 --data 改过)
if(NOT out STREQUAL "HKEY_CURRENT_USER\\Software\\CliTest\tK1\t1\t改过\n")
  message(FATAL_ERROR "registry set printed:\n${out}")
endif()
run(0 registry show)
if(NOT out MATCHES "\tK1\t1\t改过\n")
  message(FATAL_ERROR "the changed value is not in the registry store:\n${out}")
endif()
file(READ ${prefix}/system.reg before)
run(1 registry set --key= --name K1 --type 1 --data x)
expect_one_line_error("refused")
run(2 registry set --key K --name K1 --type one --data x)
file(READ ${prefix}/system.reg after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "a refused value changed the registry store")
endif()
run(0 config restore --list ${FIXTURES}/userinfo_list.xml)
run(0 registry show)
if(NOT out MATCHES "\tK1\t1\tone\n")
  message(FATAL_ERROR "restore did not put the value back:\n${out}")
endif()

# A software without protection restores nothing; an unknown type is wrong usage.
run(1 config restore --list ${FIXTURES}/userinfo_list.xml --guid {OTHER})
expect_one_line_error("\\{OTHER\\} was not fully restored")
run(2 config restore --list ${FIXTURES}/userinfo_list.xml --type fix)

# Without an upload address the user information is not exchanged at all.
run(1 userinfo read --config ${FIXTURES}/userinfo_logs.xml)
expect_one_line_error("no user-document path")
run(1 userinfo update --config ${FIXTURES}/userinfo_logs.xml)
expect_one_line_error("did not accept")
run(1 userinfo read --config ${WORK_DIR}/missing.xml)
expect_one_line_error("missing.xml")
