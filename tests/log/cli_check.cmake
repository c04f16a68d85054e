# Runs the host CLI's log commands as a user would, on a fresh machine prefix.
# Variables: CLI, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix ${WORK_DIR}/machine)
set(state ${WORK_DIR}/run.state)

include(${CMAKE_CURRENT_LIST_DIR}/../cli/expect_run.cmake)

function(expect_state_lines count)
  file(STRINGS ${state} lines)
  list(LENGTH lines found)
  if(NOT found EQUAL count)
    message(FATAL_ERROR "${state} holds ${found} entries, expected ${count}: ${lines}")
  endif()
endfunction()

# A run's entries wait in the state file between calls.
expect_run(0 "" ${CLI} log start --state ${state})
expect_state_lines(0)
expect_run(0 "" ${CLI} log add --state ${state} --guid {G1} --result ok --details "a|b"
  --prefix ${prefix})
expect_run(0 "" ${CLI} log add --state ${state} --guid g2 --special-code 7 --result failed)
expect_state_lines(2)

# Without a Servlet nothing is sent; an upload that cannot connect fails. Both keep the entries
# and leave no temporary log document behind.
file(WRITE ${WORK_DIR}/no_servlet.xml "<Logs><SysId>s</SysId></Logs>")
expect_run(1 "StopLog: 0 \\(2 entries\\)" ${CLI} log stop --state ${state}
  --config ${WORK_DIR}/no_servlet.xml --prefix ${prefix})
file(WRITE ${WORK_DIR}/closed.xml "<Logs><Servlet>http://127.0.0.1:9/log</Servlet></Logs>")
expect_run(1 "StopLog: 0 \\(2 entries\\)" ${CLI} log stop --state ${state}
  --config ${WORK_DIR}/closed.xml --type protect --source cli --prefix ${prefix})
expect_state_lines(2)
file(GLOB leftovers ${prefix}/drive_c/users/Public/Documents/logTemp*)
if(leftovers)
  message(FATAL_ERROR "temporary log documents left behind: ${leftovers}")
endif()

# A missing state or configuration file fails; wrong usage gives 2; a new run starts empty.
expect_run(1 "" ${CLI} log stop --state ${WORK_DIR}/missing --config ${WORK_DIR}/closed.xml
  --prefix ${prefix})
expect_run(1 "" ${CLI} log stop --state ${state} --config ${WORK_DIR}/missing.xml
  --prefix ${prefix})
expect_run(2 "" ${CLI} log add --state ${state} --result ok)
expect_run(2 "" ${CLI} log stop --state ${state})
expect_run(0 "" ${CLI} log start --state ${state})
expect_state_lines(0)
