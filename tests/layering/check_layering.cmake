# Fails when the folders stop depending one way: app/ sits on top, so no file
# outside it (the tests and benchmarks excepted, which drive it) may include
# app/; below it Inc/, widgets/, settings/, tasks/ and convert/ stack in that
# order; Inc/ holds no Qt at all, and the core library's files, with their
# headers, never include Qt.
# Run as: cmake -DSOURCE_DIR=<tree> -DCORE_FILES=<list file> -P check_layering.cmake

set(problems "")

file(GLOB_RECURSE below_app RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/Inc/*.h ${SOURCE_DIR}/Inc/*.cpp
  ${SOURCE_DIR}/widgets/*.h ${SOURCE_DIR}/widgets/*.cpp
  ${SOURCE_DIR}/crash_notice/*.h ${SOURCE_DIR}/crash_notice/*.cpp
  ${SOURCE_DIR}/settings/*.h ${SOURCE_DIR}/settings/*.cpp
  ${SOURCE_DIR}/tasks/*.h ${SOURCE_DIR}/tasks/*.cpp
  ${SOURCE_DIR}/convert/*.h ${SOURCE_DIR}/convert/*.cpp
  ${SOURCE_DIR}/encoder/*.h ${SOURCE_DIR}/encoder/*.cpp)
foreach(file IN LISTS below_app)
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"app/")
  foreach(line IN LISTS lines)
    string(APPEND problems "${file} includes the window layer: ${line}\n")
  endforeach()
endforeach()

# Below app/ the folders stack too: each may include only itself and the
# folders under it, so no two folders depend on each other.
set(stack Inc widgets settings tasks convert)
list(LENGTH stack levels)
math(EXPR below_top "${levels} - 1")
foreach(level RANGE 1 ${below_top})
  math(EXPR index "${level} - 1")
  list(GET stack ${index} folder)
  list(SUBLIST stack ${level} -1 above)
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    foreach(higher IN LISTS above)
      file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"${higher}/")
      foreach(line IN LISTS lines)
        string(APPEND problems "${file} includes ${higher}/, which builds on ${folder}/: ${line}\n")
      endforeach()
    endforeach()
  endforeach()
endforeach()

# The core library's sources, and the header beside each.
file(STRINGS ${CORE_FILES} core_sources)
set(core_files "")
foreach(source IN LISTS core_sources)
  list(APPEND core_files ${source})
  string(REGEX REPLACE "\\.cpp$" ".h" header ${source})
  if(NOT header STREQUAL source AND EXISTS ${header})
    list(APPEND core_files ${header})
  endif()
endforeach()
# The shared modules in Inc/ are all logic; the Qt helpers live in widgets/.
file(GLOB_RECURSE qt_free_files ${SOURCE_DIR}/encoder/*.h ${SOURCE_DIR}/encoder/*.cpp ${SOURCE_DIR}/Inc/*.h
  ${SOURCE_DIR}/Inc/*.cpp ${SOURCE_DIR}/Inc/*.in)
list(APPEND core_files ${qt_free_files})
list(REMOVE_DUPLICATES core_files)
foreach(file IN LISTS core_files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    string(APPEND problems "${shown} is core code but includes Qt: ${line}\n")
  endforeach()
endforeach()

list(LENGTH core_files checked)
if(problems)
  message(FATAL_ERROR "Layering broken:\n${problems}")
endif()
message(STATUS "Layering holds: ${checked} core files without Qt, the folders below app/ stack one way")
