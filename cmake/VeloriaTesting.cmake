# veloria_add_test(NAME name SOURCES files... [LIBRARIES targets...])
# Builds a GoogleTest program and registers it with ctest, labelled "unit" and built by the
# target unit_tests (the sanitizer and valgrind runs take only these). In the Windows build
# the program runs under Wine through the cross-compiling emulator.
if(BUILD_TESTING)
  add_custom_target(unit_tests)
  if(CMAKE_CROSSCOMPILING)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

function(veloria_add_test)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME" "SOURCES;LIBRARIES")
  add_executable(${arg_NAME} ${arg_SOURCES})
  target_link_libraries(${arg_NAME} PRIVATE ${arg_LIBRARIES} GTest::gtest_main)
  add_test(NAME ${arg_NAME} COMMAND ${arg_NAME})
  set_tests_properties(${arg_NAME} PROPERTIES LABELS unit)
  add_dependencies(unit_tests ${arg_NAME})
endfunction()
