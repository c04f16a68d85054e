# Installs the Windows build into a scratch folder, checks the package's layout and that its
# programs and DLLs import no DLL but the system's and its own, then builds a host against it with
# the cross-compiler twice (through the CMake package, through pkg-config) and runs both hosts and
# the installed CLI under Wine, each from the installed bin/ where its DLLs lie.
# Variables: BUILD_DIR, SOURCE_DIR, WORK_DIR, TOOLCHAIN_FILE (the mingw-w64 toolchain file),
# CXX (the cross-compiler), OBJDUMP (its objdump), EMULATOR (wine), CPACK (cpack). Wine's prefix comes from the
# environment (WINEPREFIX).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix ${WORK_DIR}/usr)

include(${CMAKE_CURRENT_LIST_DIR}/run_step.cmake)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
set(programs bin/webinteractive.exe bin/webinteractive.dll bin/webinteractive_status.dll
  bin/webinteractive_records.dll)
foreach(installed ${programs} lib/libwebinteractive.dll.a lib/libwebinteractive_status.dll.a
        lib/libwebinteractive_records.dll.a lib/webinteractive.lib lib/webinteractive.def
        include/webinteractive/webinteractive.h include/webinteractive/webinteractive_c.h
        lib/cmake/webinteractive/webinteractiveConfig.cmake lib/pkgconfig/webinteractive.pc)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()

# Linked statically: the C and C++ runtimes (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) and
# any other library come inside, so a copy of bin/ runs on a bare Windows.
foreach(program ${programs})
  run(${OBJDUMP} -p ${prefix}/${program})
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${last_output}")
  foreach(import ${imports})
    string(REPLACE "DLL Name: " "" dll "${import}")
    if(dll MATCHES "^lib" OR (dll MATCHES "^webinteractive" AND NOT EXISTS ${prefix}/bin/${dll}))
      message(FATAL_ERROR "${program} imports ${dll}, which is no system DLL nor installed")
    endif()
  endforeach()
endforeach()

run(${EMULATOR} ${prefix}/bin/webinteractive.exe --help)
if(NOT last_output MATCHES "^usage: webinteractive COMMAND")
  message(FATAL_ERROR "the installed CLI does not run: ${last_output}")
endif()

# A cross-built host finds the package by its folder: the toolchain file confines package
# searches to the cross-compiler's own root.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/consumer -B ${WORK_DIR}/consumer
  -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}
  -Dwebinteractive_DIR=${prefix}/lib/cmake/webinteractive)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
file(COPY ${WORK_DIR}/consumer/consumer.exe DESTINATION ${prefix}/bin)

run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/lib/pkgconfig
  pkg-config --cflags --libs webinteractive)
string(STRIP "${last_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${CXX} -std=c++17 ${SOURCE_DIR}/consumer/main.cpp -o ${prefix}/bin/consumer_pc.exe ${flags})

foreach(host consumer consumer_pc)
  run(${EMULATOR} ${prefix}/bin/${host}.exe)
  if(NOT last_output MATCHES "^C:\\\\[^\r\n]*logTemp[0-9]+\\.xml")
    message(FATAL_ERROR "${host}: unexpected temporary path: ${last_output}")
  endif()
endforeach()

# The Windows package: the same installation as a zip.
run(${CMAKE_COMMAND} -E chdir ${WORK_DIR} ${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake -G ZIP)
file(GLOB zip ${WORK_DIR}/webinteractive-*-windows-x86_64.zip)
run(unzip -Z1 ${zip})
foreach(packaged ${programs} lib/libwebinteractive.dll.a lib/webinteractive.lib
        include/webinteractive/webinteractive_c.h lib/cmake/webinteractive/webinteractiveConfig.cmake)
  if(NOT last_output MATCHES "/${packaged}\n")
    message(FATAL_ERROR "the zip lacks ${packaged}:\n${last_output}")
  endif()
endforeach()
