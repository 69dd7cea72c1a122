# The program's folders are layers, each a library linked to the layer below it:
#   app <- output <- refbooks <- timesheets <- reports <- register <- main.
#
# tabel_layer(<name> [BELOW <library>] [LIBS <library>...] [EXCLUDE <file>...])
# makes tabel_<name> from every source of the calling folder (but the excluded ones). A folder
# without sources yet gives an interface library that passes the layer below on. Each library
# with sources is also linked whole into a small executable, so that a call into a layer above
# it fails the build (its headers are out of reach already).
function(tabel_layer name)
  cmake_parse_arguments(L "" "BELOW" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(excluded ${L_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  set(target tabel_${name})
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(compiled)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${L_BELOW} ${L_LIBS})
    add_executable(${target}_layer_check ${PROJECT_SOURCE_DIR}/cmake/layer_check.cpp)
    target_link_libraries(${target}_layer_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${L_BELOW} ${L_LIBS})
  endif()
endfunction()
