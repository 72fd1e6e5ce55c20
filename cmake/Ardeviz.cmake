# Shared build helpers. Source folders are globbed so that adding a file
# needs no CMake edit; a folder without sources yet simply adds no target.

set(ARDEVIZ_WARNINGS -Wall -Wextra)

# The fuzz targets run with the sanitizers, and the sanitizer suite is built in
# the same tree: with ARDEVIZ_FUZZ everything carries libFuzzer's coverage
# instrumentation, which only the fuzz targets link the fuzzer itself for.
if(ARDEVIZ_FUZZ)
  set(ARDEVIZ_SANITIZE ON)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(ARDEVIZ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# ardeviz_glob(<out> <patterns>...): sources matching the patterns, without main.cpp.
function(ardeviz_glob out)
  file(GLOB _sources CONFIGURE_DEPENDS ${ARGN})
  list(FILTER _sources EXCLUDE REGEX "/main\\.cpp$")
  set(${out} ${_sources} PARENT_SCOPE)
endfunction()

# ardeviz_layer_root(<folder> <out>): an include root that holds only <folder>
# (a link to the source folder), so "<folder>/X.h" is found there and nothing else.
function(ardeviz_layer_root folder out)
  set(_root ${PROJECT_BINARY_DIR}/layers/${folder})
  if(NOT EXISTS ${_root}/${folder})
    file(MAKE_DIRECTORY ${_root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${_root}/${folder} SYMBOLIC)
  endif()
  set(${out} ${_root} PARENT_SCOPE)
endfunction()

# ardeviz_library(<name> FOLDER <folder> SOURCES ... LIBS ...): a static library
# of our own code. Its sources and its users see the headers of its own folder
# and of the libraries it links, and no others: an include that points up the
# layers fails to compile.
function(ardeviz_library name)
  cmake_parse_arguments(A "" "FOLDER" "SOURCES;LIBS" ${ARGN})
  if(NOT A_SOURCES)
    return()
  endif()
  add_library(${name} STATIC ${A_SOURCES})
  ardeviz_layer_root(${A_FOLDER} _root)
  target_include_directories(${name} PUBLIC ${_root})
  target_compile_options(${name} PRIVATE ${ARDEVIZ_WARNINGS})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  set_property(GLOBAL APPEND PROPERTY ARDEVIZ_LIBRARIES ${name})
endfunction()

# Libraries of ours that exist, in an order that links (users before used).
function(ardeviz_existing_libs out)
  set(_libs)
  foreach(lib ardeviz_app ardeviz_archive ardeviz_viewer ardeviz_config ardeviz_skin ardeviz_res ardeviz_sim
              ardeviz_link ardeviz_codec ardeviz_wire ardeviz_platform)
    if(TARGET ${lib})
      list(APPEND _libs ${lib})
    endif()
  endforeach()
  set(${out} ${_libs} PARENT_SCOPE)
endfunction()
