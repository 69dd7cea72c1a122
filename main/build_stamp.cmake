# Writes the program's build stamp: the date and time at which a build first saw the program's
# sources as they are now. Rebuilding unchanged sources keeps the stamp (the hash of the sources is
# kept beside it), so copies running from this build are not told that a newer build connected;
# changed sources get a later stamp. The header is rewritten only when the stamp changes.
#   cmake -DSOURCES=<tree> -DOUT=<header> -DCACHE=<file> -P build_stamp.cmake
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SOURCES}
     ${SOURCES}/app/* ${SOURCES}/output/* ${SOURCES}/refbooks/* ${SOURCES}/timesheets/*
     ${SOURCES}/reports/* ${SOURCES}/register/* ${SOURCES}/main/* ${SOURCES}/cmake/*)
list(APPEND files CMakeLists.txt)
list(SORT files)
set(contents "")
foreach(f IN LISTS files)
  if(EXISTS ${SOURCES}/${f})
    file(SHA256 ${SOURCES}/${f} h)
    string(APPEND contents "${f} ${h}\n")
  endif()
endforeach()
string(SHA256 hash "${contents}")

set(stamp_date "")
if(EXISTS ${CACHE})
  file(READ ${CACHE} cached)
  if(cached MATCHES "^${hash} ([0-9]+) ([0-9]+)")
    set(stamp_date ${CMAKE_MATCH_1})
    set(stamp_time ${CMAKE_MATCH_2})
  endif()
endif()
if(stamp_date STREQUAL "")
  string(TIMESTAMP stamp_date "%Y%m%d")
  string(TIMESTAMP stamp_h "%H")
  string(TIMESTAMP stamp_m "%M")
  string(TIMESTAMP stamp_s "%S")
  math(EXPR stamp_time "${stamp_h} * 3600 + ${stamp_m} * 60 + ${stamp_s}")
  # Leading zeros would read as octal in C++.
  math(EXPR stamp_date "${stamp_date} + 0")
  file(WRITE ${CACHE} "${hash} ${stamp_date} ${stamp_time}\n")
endif()
file(WRITE ${OUT}.new "#pragma once\n// The build stamp: when a build first saw these sources.\nconstexpr int kBuildDate = ${stamp_date};\nconstexpr int kBuildTime = ${stamp_time};\n")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
