# The unpack library, the sample product's media and the script check.

# Unit tests of the library go through its exported entry points; they build
# their test archives with zlib.
target_link_libraries(unittests PRIVATE z)
target_include_directories(unittests PRIVATE ${CMAKE_SOURCE_DIR}/unpack)
add_dependencies(unittests cunpack)
# The directory reader itself, for what no archive on disk shows cheaply
# (70,000 members).
target_sources(unittests PRIVATE ${CMAKE_SOURCE_DIR}/unpack/ziparchive.cpp)

# The product's own string table passes the script check, and every archive
# is on the diskette its line names.
add_test(NAME script_check_product
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/checkscript.py
                 --media ${MEDIA_DIR} $<TARGET_FILE:installer>)

# The media builder and the script check on broken copies of the resources.
add_test(NAME media_tools
         COMMAND ${Python3_EXECUTABLE} -m unittest -v tools.tests.test_media_tools
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(media_tools PROPERTIES TIMEOUT 300
  ENVIRONMENT "CV_WINDRES=${CMAKE_RC_COMPILER};CV_SOURCE=${CMAKE_SOURCE_DIR};CV_BIN=${CMAKE_BINARY_DIR}/bin;CV_PRODUCT_BUILD=${CV_PRODUCT_OUT_${CV_SAMPLE_PRODUCT}};PYTHONDONTWRITEBYTECODE=1")

# The shipped archives and one made by Info-ZIP zip unpack through the
# library exactly as unzip unpacks them.
add_test(NAME unpack_matches_unzip
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/unpack/tests/compare_unzip.py
                 --wine ${WINE} --runner $<TARGET_FILE:unpackrun>
                 --work ${CMAKE_BINARY_DIR}/unpack-compare
                 --zip-folder ${CMAKE_SOURCE_DIR}/products/${CV_SAMPLE_PRODUCT}
                 ${MEDIA_DIR}/ALL)
set_tests_properties(unpack_matches_unzip PROPERTIES TIMEOUT 300)

# 7-Zip's 7za.exe of this build's kind: the benchmark fetches it into the
# build folder, the archive tests use it when it is there.
set(SEVENZIP_DIR ${CMAKE_BINARY_DIR}/7zip-bin)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(SEVENZIP_ARCH ia32)
else()
  set(SEVENZIP_ARCH x64)
endif()

# make bench: the library's speed against 7za.exe (same Wine prefix) and
# native unzip, whole processes, on two archives of about 200 MB.
add_test(NAME unpack_bench
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/unpack/bench/bench.py
                 --wine ${WINE} --runner $<TARGET_FILE:unpackrun> --filecost $<TARGET_FILE:filecost>
                 --work ${CMAKE_BINARY_DIR}/bench-unpack
                 --sevenzip-dir ${SEVENZIP_DIR} --arch ${SEVENZIP_ARCH}
         CONFIGURATIONS bench)
set_tests_properties(unpack_bench PROPERTIES LABELS bench TIMEOUT 1800)

# Archives written by Info-ZIP zip (plain, streamed, -fz) and Python's
# zipfile (plain, ZIP64, streamed, DOS names) unpack through the library as
# unzip unpacks them, names beyond ASCII included; a name that the ANSI code
# page cannot hold ends the archive with result 1 and writes nothing of it.
add_test(NAME unpack_tool_archives
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/unpack/tests/tool_archives.py
                 --wine ${WINE} --runner $<TARGET_FILE:unpackrun>
                 --work ${CMAKE_BINARY_DIR}/unpack-tools --tools zip,python)
# The same with 7za.exe's archives (deflate, store), when `make bench` has
# fetched 7za.exe into the build folder; skipped otherwise.
add_test(NAME unpack_7za_archives
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/unpack/tests/tool_archives.py
                 --wine ${WINE} --runner $<TARGET_FILE:unpackrun>
                 --work ${CMAKE_BINARY_DIR}/unpack-7za --tools 7za
                 --sevenzip ${SEVENZIP_DIR}/win/${SEVENZIP_ARCH}/7za.exe)
set_tests_properties(unpack_tool_archives unpack_7za_archives PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
