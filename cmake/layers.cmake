# Builds the library's layers from the list in cmake/layers.txt: for each,
# lum_LAYER, an OBJECT library of its sources, and lum_LAYER_headers, what it
# offers the layers above, linking the _headers of the layers it uses. Each
# layer sees on its include path only its own headers (public and private)
# and the public headers of the layers it uses, directly or through them: the
# folders are linked into an include view per layer under the build
# directory. An include of a layer above, or of another layer's private
# header, therefore does not compile. Layers link one another's headers, not
# objects, so that all of them compile in parallel.
#
# Sets LUM_LAYERS (bottom first), LUM_LAYER_TARGETS and LUM_SOURCES (every
# source of the library, for builds that compile it once more, as the fuzzers
# do).

file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/layers.txt layer_lines)
set(LUM_LAYERS)
foreach(line IN LISTS layer_lines)
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT line MATCHES "^([a-z_]+)[ \t]*(:[ \t]*([a-z_ \t]*))?$")
    message(FATAL_ERROR "cmake/layers.txt: cannot read the line '${line}'")
  endif()
  set(layer ${CMAKE_MATCH_1})
  string(REGEX REPLACE "[ \t]+" ";" uses "${CMAKE_MATCH_3}")
  list(REMOVE_ITEM uses "")
  foreach(used IN LISTS uses)
    if(NOT used IN_LIST LUM_LAYERS)
      message(FATAL_ERROR "cmake/layers.txt: ${layer} uses ${used}, which is not a layer below it")
    endif()
  endforeach()
  list(APPEND LUM_LAYERS ${layer})
  set(LUM_LAYER_USES_${layer} ${uses})
endforeach()

# What every layer may include: the export macros and the generated version.
set(base_view ${PROJECT_BINARY_DIR}/layers/base)
file(MAKE_DIRECTORY ${base_view}/lum)
foreach(header ${PROJECT_SOURCE_DIR}/include/lum/export.h ${PROJECT_BINARY_DIR}/include/lum/version.h)
  get_filename_component(name ${header} NAME)
  file(CREATE_LINK ${header} ${base_view}/lum/${name} SYMBOLIC)
endforeach()
add_library(lum_layer_base INTERFACE)
target_include_directories(lum_layer_base INTERFACE ${base_view})
target_compile_features(lum_layer_base INTERFACE cxx_std_20)

set(LUM_LAYER_TARGETS)
set(LUM_SOURCES)
foreach(layer IN LISTS LUM_LAYERS)
  set(view ${PROJECT_BINARY_DIR}/layers/${layer})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view}/public/lum ${view}/private)
  if(EXISTS ${PROJECT_SOURCE_DIR}/include/lum/${layer})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/include/lum/${layer} ${view}/public/lum/${layer} SYMBOLIC)
  else()
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${view}/public/${layer} SYMBOLIC)
  endif()
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${view}/private/${layer} SYMBOLIC)

  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
  add_library(lum_${layer}_headers INTERFACE)
  target_include_directories(lum_${layer}_headers INTERFACE ${view}/public)
  target_link_libraries(lum_${layer}_headers INTERFACE lum_layer_base)
  foreach(used IN LISTS LUM_LAYER_USES_${layer})
    target_link_libraries(lum_${layer}_headers INTERFACE lum_${used}_headers)
  endforeach()
  add_library(lum_${layer} OBJECT ${sources})
  target_include_directories(lum_${layer} PRIVATE ${view}/private)
  target_link_libraries(lum_${layer} PUBLIC lum_${layer}_headers)
  set_target_properties(lum_${layer} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  if(LUM_IS_TOP_LEVEL)
    target_compile_options(lum_${layer} PRIVATE -Wall -Wextra)
  endif()
  list(APPEND LUM_LAYER_TARGETS lum_${layer})
  list(APPEND LUM_SOURCES ${sources})
endforeach()
