# make bench: the whole install step (the real wizard, Express, a generated
# product of about 200 MB in 2,000 files on single-directory media) against
# 7za.exe extracting the same archives in the same Wine prefix.
# (This fragment comes after unpack.cmake, which names the folder of 7za.exe.)
add_test(NAME install_bench
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/bench/install_bench.py
                 --wine ${WINE} --driver $<TARGET_FILE:e2edriver>
                 --isolate ${CMAKE_SOURCE_DIR}/scripts/run-isolated
                 --installer ${E2E_INSTALLER} --media-files ${MEDIA_DIR}/ALL
                 --work ${CMAKE_BINARY_DIR}/bench-install
                 --sevenzip-dir ${SEVENZIP_DIR} --arch ${SEVENZIP_ARCH}
         CONFIGURATIONS bench)
set_tests_properties(install_bench PROPERTIES LABELS bench TIMEOUT 3600 RUN_SERIAL TRUE)
