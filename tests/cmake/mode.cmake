# The check that chooses between the 32-bit and the 64-bit build.
add_test(NAME mode_check COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/mode_test.sh)
