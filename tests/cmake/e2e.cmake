# End-to-end scenarios: the driver starts the real installer from the
# sample media and works it as a person would.
# Every walk file registers its own scenarios with the driver.
file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
add_executable(e2edriver ${E2E_SOURCES})
# The walks address the installer's controls by the names of resources/resource.h.
target_include_directories(e2edriver PRIVATE ${CMAKE_SOURCE_DIR})
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

# add_e2e(SCENARIO [SOURCE_DIR]): one ctest entry per scenario, named
# e2e_SCENARIO, run on the media of DISK1 unless a source is given. The
# area fragments (e2e_*.cmake) add theirs.
function(add_e2e scenario)
  set(source ${E2E_SOURCE})
  if(ARGC GREATER 1)
    to_wine_path(source "${ARGV1}")
  endif()
  to_wine_path(calls "${E2E_WORK}/${scenario}.calls")
  add_test(NAME e2e_${scenario}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-isolated ${WINE} $<TARGET_FILE:e2edriver> ${scenario} ${E2E_INSTALLER} ${source} ${calls})
  set_tests_properties(e2e_${scenario} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endfunction()

foreach(scenario startup exit-no-yes escape missing-source)
  add_e2e(${scenario})
endforeach()
