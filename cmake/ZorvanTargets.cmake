# One static library per layer, sources found by layout: a file dropped into
# src/<layer>/ (or a sub-folder) belongs to that layer's library.
function(zorvan_layer name)
  cmake_parse_arguments(L "" "DIR" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/${L_DIR}/*.cpp ${PROJECT_SOURCE_DIR}/src/${L_DIR}/*.h)
  foreach(ex ${L_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "${ex}")
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_DEPS} zorvan_sanitizers PRIVATE zorvan_warnings)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# A test executable per source layer: tests/<dir>/*_test.cpp.
function(zorvan_test_suite name)
  cmake_parse_arguments(T "" "DIR" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/tests/${T_DIR}/*.cpp ${PROJECT_SOURCE_DIR}/tests/${T_DIR}/*.h)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_DEPS} zorvan_testsupport GTest::gtest GTest::gmock
    zorvan_warnings zorvan_sanitizers)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "ZORVAN_SOURCE_DIR=${PROJECT_SOURCE_DIR};QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
