# cv_product(NAME): builds the product of products/NAME into
# <build>/products/NAME/: its INSTALL.EXE and CVREMOVE.EXE (the engine with
# the product's strings, texts, billboards and pictures), stand-ins for the
# programs its archives.lst names as "program", and its media (media/DISK1,
# DISK2, ..., media/ALL), which the script check then reads: a finding of an
# error stops the build with its report. Target product_NAME makes it all.
#
# The sample product's targets keep the plain names (installer, cvremove,
# cvres, media) that the tests use.
set(CV_SAMPLE_PRODUCT velomire)

function(cv_product name)
  set(dir ${CMAKE_SOURCE_DIR}/products/${name})
  set(out ${CMAKE_BINARY_DIR}/products/${name})
  set(gen ${out}/gen)
  if(name STREQUAL CV_SAMPLE_PRODUCT)
    set(sfx "")
  else()
    set(sfx "_${name}")
  endif()
  foreach(required product.rc texts.h billboards.rc)
    if(NOT EXISTS ${dir}/${required})
      message(FATAL_ERROR "products/${name} has no ${required}: see products/README.md")
    endif()
  endforeach()

  # Pictures: the product's own files or recipe, the engine's plain ones
  # for the rest.
  list(TRANSFORM PICTURE_NAMES PREPEND ${gen}/ OUTPUT_VARIABLE pictures)
  file(GLOB given CONFIGURE_DEPENDS ${dir}/pictures.py ${dir}/pictures/*)
  add_custom_command(
    OUTPUT ${pictures}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/mkpictures.py ${gen} --product ${dir}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/mkpictures.py ${given}
    COMMENT "Drawing the pictures of ${name}")
  add_custom_target(pictures${sfx} DEPENDS ${pictures})

  # Resources: the engine's resource scripts with the product's folder first
  # on the include path. A small script of the product's own includes them,
  # so that each product's resources depend on its own files.
  file(GLOB product_sources CONFIGURE_DEPENDS ${dir}/*.rc ${dir}/*.h)
  set(depends ${pictures} ${RC_DEPENDS} ${product_sources})
  foreach(kind install remove)
    file(CONFIGURE OUTPUT ${gen}/product_${kind}.rc CONTENT "#include \"${kind}.rc\"\n")
    set_source_files_properties(${gen}/product_${kind}.rc PROPERTIES OBJECT_DEPENDS "${depends}")
  endforeach()
  add_library(cvres${sfx} OBJECT ${gen}/product_install.rc)
  add_library(cvremoveres${sfx} OBJECT ${gen}/product_remove.rc)
  foreach(res cvres${sfx} cvremoveres${sfx})
    target_include_directories(${res} PRIVATE ${dir} ${gen} ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR})
    add_dependencies(${res} pictures${sfx})
  endforeach()

  add_executable(installer${sfx} WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp $<TARGET_OBJECTS:cvres${sfx}>)
  target_link_libraries(installer${sfx} PRIVATE cvapp)
  add_executable(cvremove${sfx} WIN32 $<TARGET_OBJECTS:cvremoveobjects> $<TARGET_OBJECTS:cvremoveres${sfx}>)
  target_link_libraries(cvremove${sfx} PRIVATE cvprogman cvrecords cvprogress)
  set_target_properties(installer${sfx} PROPERTIES OUTPUT_NAME INSTALL SUFFIX .EXE RUNTIME_OUTPUT_DIRECTORY ${out})
  set_target_properties(cvremove${sfx} PROPERTIES OUTPUT_NAME CVREMOVE SUFFIX .EXE RUNTIME_OUTPUT_DIRECTORY ${out})

  # Stand-ins for the maker's programs: each records its start in a call
  # log (tools/calllog.cpp), so that tests see what was started and how.
  set(programs)
  if(EXISTS ${dir}/archives.lst)
    file(STRINGS ${dir}/archives.lst lines REGEX "^[ \t]*[^# \t]+[ \t]+[^ \t]+[ \t]+program")
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${dir}/archives.lst)
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*[^ \t]+[ \t]+([^ \t]+).*" "\\1" member "${line}")
      string(REGEX REPLACE ".*[\\\\/]" "" program "${member}")
      string(REGEX REPLACE "\\.[Ee][Xx][Ee]$" "" program "${program}")
      string(TOLOWER "${name}_${program}" target)
      if(NOT TARGET ${target})
        add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/tools/calllog.cpp)
        set_target_properties(${target} PROPERTIES OUTPUT_NAME ${program} SUFFIX .EXE
                              RUNTIME_OUTPUT_DIRECTORY ${out}/programs)
        target_link_options(${target} PRIVATE -s)
        list(APPEND programs ${target})
      endif()
    endforeach()
  endif()

  add_custom_target(media${sfx} ALL
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/mkmedia.py
            --strings $<TARGET_FILE:installer${sfx}> --product ${dir}
            --bin ${out}/programs --out ${out}/media
            --disk1 $<TARGET_FILE:installer${sfx}> $<TARGET_FILE:cvremove${sfx}> $<TARGET_FILE:cunpack>
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/checkscript.py
            --media ${out}/media $<TARGET_FILE:installer${sfx}>
    DEPENDS installer${sfx} cvremove${sfx} cunpack ${programs}
    COMMENT "Laying out the media of ${name} and checking its script")
  add_custom_target(product_${name} DEPENDS media${sfx})
  set(CV_PRODUCT_OUT_${name} ${out} PARENT_SCOPE)
endfunction()
