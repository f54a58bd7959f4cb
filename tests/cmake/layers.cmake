# The includes of the installer run down its layers: no upward include, no
# folder loop (tools/layercheck.py).
add_test(NAME layer_check COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/layercheck.py ${CMAKE_SOURCE_DIR})
