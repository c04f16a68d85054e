# Installs the build into a scratch folder (not the configured prefix) and moves the installation
# elsewhere, then builds and runs a host against the moved installation twice: once through the
# CMake package, once through pkg-config; and runs the installed CLI. Nothing sets a library
# path: the programs and libraries find each other by their run paths, and the library finds its
# own cmd program beside it.
# Variables: BUILD_DIR, SOURCE_DIR, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(installed_at ${WORK_DIR}/installed)
set(prefix ${WORK_DIR}/moved)

include(${CMAKE_CURRENT_LIST_DIR}/run_step.cmake)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${installed_at})
file(RENAME ${installed_at} ${prefix})
foreach(installed include/webinteractive/webinteractive.h bin/webinteractive
        libexec/webinteractive/cmd)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
set(no_library_path ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH)

# Each library carries its soname and exports its interface alone: no internal function and no
# instantiation of a standard template.
foreach(library webinteractive webinteractive_status webinteractive_records)
  run(readelf -d ${prefix}/lib/lib${library}.so)
  if(NOT last_output MATCHES "SONAME[^\n]*lib${library}\\.so\\.[0-9]+]")
    message(FATAL_ERROR "lib${library}.so has no soname")
  endif()
  run(nm -D -C --defined-only ${prefix}/lib/lib${library}.so)
  if(last_output MATCHES " [A-Za-z] ([a-z ]+ for )?(std|wi|__gnu_cxx)::")
    message(FATAL_ERROR "lib${library}.so exports more than its interface:\n${last_output}")
  endif()
endforeach()

run(${no_library_path} ${prefix}/bin/webinteractive --help)
if(NOT last_output MATCHES "^usage: webinteractive COMMAND")
  message(FATAL_ERROR "the installed CLI does not run: ${last_output}")
endif()

set(machine ${WORK_DIR}/machine)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/consumer -B ${WORK_DIR}/consumer -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${no_library_path} WEBINTERACTIVE_PREFIX=${machine} ${WORK_DIR}/consumer/consumer)
if(NOT last_output MATCHES "logTemp[0-9]+\\.xml")
  message(FATAL_ERROR "unexpected temporary path: ${last_output}")
endif()
file(READ_SYMLINK ${machine}/drive_c/windows/system32/cmd.exe cmd_program)
if(NOT cmd_program STREQUAL "${prefix}/libexec/webinteractive/cmd")
  message(FATAL_ERROR "the machine's cmd.exe is ${cmd_program}, not the installed one")
endif()

file(GLOB pcdir ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
set(pkg_config ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pcdir} pkg-config)
run(${pkg_config} --cflags --libs webinteractive)
string(STRIP "${last_output}" flags)
string(FIND "${flags}" "-I${prefix}/" include_at)
string(FIND "${flags}" "-L${prefix}/" lib_at)
if(include_at LESS 0 OR lib_at LESS 0)
  message(FATAL_ERROR "pkg-config does not name the installation at ${prefix}: ${flags}")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${pkg_config} --variable=libdir webinteractive)
string(STRIP "${last_output}" libdir)
run(c++ -std=c++17 ${SOURCE_DIR}/consumer/main.cpp -o ${WORK_DIR}/consumer_pc ${flags}
  -Wl,-rpath,${libdir})
run(${no_library_path} WEBINTERACTIVE_PREFIX=${machine} ${WORK_DIR}/consumer_pc)
