# The product records: the unit tests install shared libraries of several
# versions, which they carry as data resources: 16-bit libraries like those
# the product ships (tools/nelib.py), and a 32-bit one whose version
# resource has the other layout.
set(RECORDS_DLL_DIR ${CMAKE_BINARY_DIR}/records-dlls)
add_custom_command(
  OUTPUT ${RECORDS_DLL_DIR}/records_dlls.rc
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/scripts/records_dlls.py ${RECORDS_DLL_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tests/scripts/records_dlls.py ${CMAKE_SOURCE_DIR}/tools/nelib.py
  COMMENT "Writing the shared libraries of the records tests")
target_sources(unittests PRIVATE ${RECORDS_DLL_DIR}/records_dlls.rc)

file(WRITE ${RECORDS_DLL_DIR}/ctl3d32.rc
  "1 VERSIONINFO\nFILEVERSION 2,25,0,0\nPRODUCTVERSION 2,25,0,0\nFILETYPE 2\n"
  "BEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n  BLOCK \"040904E4\"\n  BEGIN\n"
  "   VALUE \"FileVersion\", \"2.25\"\n  END\n END\nEND\n")
file(WRITE ${RECORDS_DLL_DIR}/ctl3d32.cpp "// A library that carries only its version.\n")
add_library(records_ctl3d32 SHARED ${RECORDS_DLL_DIR}/ctl3d32.cpp ${RECORDS_DLL_DIR}/ctl3d32.rc)
set_target_properties(records_ctl3d32 PROPERTIES OUTPUT_NAME CTL3D32 PREFIX "" SUFFIX .DLL
  RUNTIME_OUTPUT_DIRECTORY ${RECORDS_DLL_DIR})
file(WRITE ${RECORDS_DLL_DIR}/records_pe.rc "9905 RCDATA \"${RECORDS_DLL_DIR}/CTL3D32.DLL\"\n")
target_sources(unittests PRIVATE ${RECORDS_DLL_DIR}/records_pe.rc)
set_source_files_properties(${RECORDS_DLL_DIR}/records_pe.rc PROPERTIES
  OBJECT_DEPENDS ${RECORDS_DLL_DIR}/CTL3D32.DLL)
add_dependencies(unittests records_ctl3d32)
