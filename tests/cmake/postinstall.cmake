# The post-install tests start programs: EXITCODE.EXE, which ends with the
# exit code it is given (259 among them), and the sample DSPOPT.EXE and
# RHSETUP.EXE, which log how they were called; INV.EXE and MEMTUNE.EXE are
# the programs the group links. All are put beside the unit-test program.
add_executable(postinstall_exitcode WIN32 ${CMAKE_SOURCE_DIR}/tests/programs/exitcode.cpp)
set_target_properties(postinstall_exitcode PROPERTIES OUTPUT_NAME EXITCODE SUFFIX .EXE)
set(SAMPLE_STANDINS dspopt rhsetup inv memtune cvdel)
list(TRANSFORM SAMPLE_STANDINS PREPEND ${CV_SAMPLE_PRODUCT}_)
add_dependencies(unittests postinstall_exitcode ${SAMPLE_STANDINS})
foreach(standin ${SAMPLE_STANDINS})
  add_custom_command(TARGET unittests POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${standin}> $<TARGET_FILE_DIR:unittests>)
endforeach()
# The group test reads the shell links that Program Manager's stand-in makes.
target_link_libraries(unittests PRIVATE ole32 uuid)
