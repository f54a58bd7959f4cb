# Benchmark of the script engine's install-log records (not a test: run by
# `make bench`, which selects the "bench" configuration and label).
add_executable(script_bench ${CMAKE_CURRENT_SOURCE_DIR}/bench/script_bench.cpp)
target_link_libraries(script_bench PRIVATE cvapp)
add_test(NAME script_bench COMMAND ${WINE} $<TARGET_FILE:script_bench> CONFIGURATIONS bench)
set_tests_properties(script_bench PROPERTIES LABELS bench TIMEOUT 3600)
