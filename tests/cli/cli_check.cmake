# Runs the host CLI as a user would, on a fresh machine prefix, and checks what it prints.
# Variables: CLI, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix ${WORK_DIR}/machine)

include(${CMAKE_CURRENT_LIST_DIR}/expect_run.cmake)

# A new prefix shows drives C: and D:, the special folders and a temporary document path.
expect_run(0 "C: D:" ${CLI} machine --prefix ${prefix})
expect_run(0 "C:\\\\users\\\\Public\\\\Documents\\\\logTemp[0-9]+\\.xml" ${CLI} machine --prefix ${prefix})
expect_run(0 "C:\\\\windows\\\\system32" ${CLI} machine --prefix ${prefix})

# A complete configuration is accepted and its values shown.
file(WRITE ${WORK_DIR}/good.xml "<Logs><UpUserUrl>http://u/</UpUserUrl><ReadUserUrl>r</ReadUserUrl>\
<UpSysUrl>s</UpSysUrl><MachineNum>42</MachineNum><DownSysPatchsUrl>p</DownSysPatchsUrl></Logs>")
expect_run(0 "42" ${CLI} init --config ${WORK_DIR}/good.xml --prefix ${prefix})

# A key missing, text that is not XML and a missing file fail with 1; bad usage with 2.
file(WRITE ${WORK_DIR}/partial.xml "<Logs><UpUserUrl>u</UpUserUrl></Logs>")
expect_run(1 "" ${CLI} init --config ${WORK_DIR}/partial.xml --prefix ${prefix})
file(WRITE ${WORK_DIR}/bad.xml "not xml <")
expect_run(1 "" ${CLI} init --config ${WORK_DIR}/bad.xml --prefix ${prefix})
expect_run(1 "" ${CLI} init --config ${WORK_DIR}/missing.xml --prefix ${prefix})
expect_run(2 "" ${CLI} init --prefix ${prefix})
expect_run(2 "" ${CLI} no-such-command)

# The software list of a document's records goes to standard output; uploads that reach no service
# and a software file without a first name part fail with 1.
file(WRITE ${WORK_DIR}/ids.xml "<softwares><software><BaseInfo><GUID>{G}</GUID><pn_name>n</pn_name>\
<pn_version>v</pn_version></BaseInfo></software></softwares>")
expect_run(0 "<software><BaseInfo><GUID>{G}</GUID><pn_name>n</pn_name><pn_version>v</pn_version>"
  ${CLI} softlist create --list ${WORK_DIR}/ids.xml --prefix ${prefix})
expect_run(1 "" ${CLI} softlist create --list ${WORK_DIR}/missing.xml --prefix ${prefix})
expect_run(1 "UpdateSysInfo: 0" ${CLI} sysinfo upload --config ${WORK_DIR}/good.xml --prefix ${prefix})
expect_run(1 "UploadSoftFiles: 0" ${CLI} softfile upload --url http://127.0.0.1:9/f --first=
  --file "C:\\a.txt" --prefix ${prefix})
expect_run(2 "" ${CLI} installinfo upload --list ${WORK_DIR}/ids.xml --prefix ${prefix})
