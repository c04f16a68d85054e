# Installs the build into a scratch folder (not the configured prefix), then builds and runs a
# host against it twice: once through the CMake package, once through pkg-config. Both must find
# the scratch installation by themselves, and the library its own cmd program.
# Variables: BUILD_DIR, SOURCE_DIR, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix ${WORK_DIR}/usr)

include(${CMAKE_CURRENT_LIST_DIR}/run_step.cmake)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(installed include/webinteractive/webinteractive.h bin/webinteractive
        libexec/webinteractive/cmd)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()

set(machine ${WORK_DIR}/machine)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/consumer -B ${WORK_DIR}/consumer -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${CMAKE_COMMAND} -E env WEBINTERACTIVE_PREFIX=${machine} LD_LIBRARY_PATH=${prefix}/lib
  ${WORK_DIR}/consumer/consumer)
if(NOT last_output MATCHES "logTemp[0-9]+\\.xml")
  message(FATAL_ERROR "unexpected temporary path: ${last_output}")
endif()
file(READ_SYMLINK ${machine}/drive_c/windows/system32/cmd.exe cmd_program)
if(NOT cmd_program STREQUAL "${prefix}/libexec/webinteractive/cmd")
  message(FATAL_ERROR "the machine's cmd.exe is ${cmd_program}, not the installed one")
endif()

file(GLOB pcdir ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pcdir}
  pkg-config --cflags --libs webinteractive)
string(STRIP "${last_output}" flags)
string(FIND "${flags}" "-I${prefix}/" include_at)
string(FIND "${flags}" "-L${prefix}/" lib_at)
if(include_at LESS 0 OR lib_at LESS 0)
  message(FATAL_ERROR "pkg-config does not name the installation at ${prefix}: ${flags}")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(c++ -std=c++17 ${SOURCE_DIR}/consumer/main.cpp -o ${WORK_DIR}/consumer_pc ${flags})
run(${CMAKE_COMMAND} -E env WEBINTERACTIVE_PREFIX=${machine} LD_LIBRARY_PATH=${pcdir}/..
  ${WORK_DIR}/consumer_pc)
