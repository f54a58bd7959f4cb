# End-to-end scenarios: the driver starts the real installer from the
# sample media and works it as a person would.
add_executable(e2edriver ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/Ui.cpp)
target_link_libraries(e2edriver PRIVATE z gdi32 user32)
set_target_properties(e2edriver PROPERTIES OUTPUT_NAME e2edriver)

# Wine sees the build machine's root as drive Z:.
function(to_wine_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

to_wine_path(E2E_INSTALLER "${MEDIA_DIR}/DISK1/INSTALL.EXE")
to_wine_path(E2E_SOURCE "${MEDIA_DIR}/DISK1")
set(E2E_WORK "${CMAKE_BINARY_DIR}/e2e")
file(MAKE_DIRECTORY ${E2E_WORK})

foreach(scenario startup exit-no-yes escape missing-source)
  to_wine_path(calls "${E2E_WORK}/${scenario}.calls")
  add_test(NAME e2e_${scenario}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-isolated ${WINE} $<TARGET_FILE:e2edriver> ${scenario} ${E2E_INSTALLER} ${E2E_SOURCE} ${calls})
  set_tests_properties(e2e_${scenario} PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
endforeach()
