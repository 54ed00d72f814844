# Helpers every folder uses for its targets, so warnings and test registration are written once.
include_guard(GLOBAL)
include(GoogleTest)

# Test programs are built for checking, not stepping through: light optimisation and line
# tables only take half the compile time, and their hot paths are the libraries' code, which
# keeps the build type's flags. Set it empty to debug a test.
set(SEKATO_TEST_CXX_FLAGS "-Og;-g1" CACHE STRING "Extra compile flags for the test programs")

# sekato_target_warnings(target [STRICT])
# The project's warnings for `target`; STRICT adds -Wconversion -Wshadow (engine and the
# platform-free halves of the controls). With SEKATO_WERROR every warning is an error.
function(sekato_target_warnings target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "STRICT" "" "")
  set(flags -Wall -Wextra -Wpedantic)
  if(arg_STRICT)
    list(APPEND flags -Wconversion -Wshadow)
  endif()
  if(SEKATO_WERROR)
    list(APPEND flags -Werror)
  endif()
  target_compile_options(${target} PRIVATE ${flags})
endfunction()

# sekato_add_gtest(name LABEL label SOURCES file... [LIBRARIES lib...])
# A GoogleTest program whose cases ctest finds one by one, under `label`.
function(sekato_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LABEL" "SOURCES;LIBRARIES")
  add_executable(${name} ${arg_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF)
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest_main)
  target_compile_options(${name} PRIVATE ${SEKATO_TEST_CXX_FLAGS})
  # Every test file reads the same framework and standard headers; parsed once per program.
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <cstdint> <filesystem> <functional>
                            <map> <string> <string_view> <vector>)
  sekato_target_warnings(${name})
  gtest_discover_tests(${name} PROPERTIES LABELS ${arg_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()

# sekato_add_qtest(name [LABEL label] SOURCES file... [LIBRARIES lib...] [TIMEOUT seconds])
# A Qt Test program run offscreen as one ctest test (label gui unless told otherwise).
function(sekato_add_qtest name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LABEL;TIMEOUT" "SOURCES;LIBRARIES")
  if(NOT arg_LABEL)
    set(arg_LABEL gui)
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} Qt6::Test)
  target_compile_options(${name} PRIVATE ${SEKATO_TEST_CXX_FLAGS})
  sekato_target_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${arg_LABEL} TIMEOUT ${arg_TIMEOUT}
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
