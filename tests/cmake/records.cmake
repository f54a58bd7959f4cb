# The product records: the unit tests install shared libraries of several
# versions, 16-bit libraries like those the product ships, which they carry
# as data resources.
set(RECORDS_DLL_DIR ${CMAKE_BINARY_DIR}/records-dlls)
add_custom_command(
  OUTPUT ${RECORDS_DLL_DIR}/records_dlls.rc
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/scripts/records_dlls.py ${RECORDS_DLL_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tests/scripts/records_dlls.py ${CMAKE_SOURCE_DIR}/tools/nelib.py
  COMMENT "Writing the shared libraries of the records tests")
target_sources(unittests PRIVATE ${RECORDS_DLL_DIR}/records_dlls.rc)
