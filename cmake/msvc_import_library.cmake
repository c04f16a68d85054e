# Writes the C interface's .def file (the DLL's exports whose names begin with "wi_") and, from
# it, an import library that MSVC's linker takes (NAME.lib), so that MSVC-built hosts link the
# mingw-built DLL by its C interface.
# Variables: DLL (the built DLL), OUTPUT_DIR, GENDEF, DLLTOOL.
get_filename_component(dll_name ${DLL} NAME)
get_filename_component(name ${DLL} NAME_WE)
execute_process(COMMAND ${GENDEF} - ${DLL} OUTPUT_VARIABLE exports RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gendef could not read the exports of ${DLL}: ${errors}")
endif()
string(REGEX MATCHALL "\n(wi_[A-Za-z0-9_]+)" names "${exports}")
list(TRANSFORM names STRIP)
list(SORT names)
if(NOT names)
  message(FATAL_ERROR "${DLL} exports no function of the C interface")
endif()
list(JOIN names "\n" lines)
file(WRITE ${OUTPUT_DIR}/${name}.def "LIBRARY ${dll_name}\nEXPORTS\n${lines}\n")
execute_process(COMMAND ${DLLTOOL} --input-def ${OUTPUT_DIR}/${name}.def --dllname ${dll_name}
  --output-lib ${OUTPUT_DIR}/${name}.lib --machine i386:x86-64 RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dlltool could not make ${name}.lib: ${errors}")
endif()
