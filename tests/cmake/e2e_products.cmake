# The second product of products/, built from its own folder: installed by
# hand from its first diskette and removed again.
to_wine_path(skylark_media "${CV_PRODUCT_OUT_skylark}/media")
to_wine_path(skylark_calls "${E2E_WORK}/product-skylark.calls")
add_test(NAME e2e_product-skylark
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-isolated ${WINE} $<TARGET_FILE:e2edriver> product-skylark
                 ${skylark_media}\\DISK1\\INSTALL.EXE ${skylark_media}\\DISK1 ${skylark_calls})
set_tests_properties(e2e_product-skylark PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
