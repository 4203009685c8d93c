# Shared helpers: every library and test executable of the project goes through these.

# Warnings stop the build unless HALVRICK_WERROR is off, as a distribution's newer compiler may want.
function(halvrick_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${HALVRICK_WERROR}>:-Werror>)
endfunction()

# moc follows the files it has parsed, but not a file that arrives later: when the folder's list of files
# changes, its stamp is dropped so that moc runs again.
function(halvrick_moc_follows target)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_files.txt)
  string(JOIN "\n" files ${ARGN})
  set(previous "")
  if(EXISTS ${list_file})
    file(READ ${list_file} previous)
  endif()
  if(NOT previous STREQUAL files)
    file(WRITE ${list_file} "${files}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  endif()
endfunction()

# halvrick_library(<name> DEPS <targets...>): a library of every .cpp in the calling folder; a folder
# without sources yet makes no target.
function(halvrick_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources} ${headers})
  halvrick_moc_follows(${name} ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  halvrick_warnings(${name})
endfunction()

# halvrick_tests(<name> DEPS <targets...>): one GoogleTest executable of every .cpp in the calling
# folder; fixtures are found through HALVRICK_TEST_DATA.
function(halvrick_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} ${headers})
  halvrick_moc_follows(${name} ${sources} ${headers})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE HALVRICK_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  halvrick_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES TIMEOUT 120)
endfunction()
