# The balloon help tip: shape, placement and timer bookkeeping without Qt, the window with it.
add_library(sekato_balloon_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/balloongeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/balloongeometry.h
  ${CMAKE_CURRENT_LIST_DIR}/balloonhost.h
  ${CMAKE_CURRENT_LIST_DIR}/ballooncontroller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ballooncontroller.h)
set_target_properties(sekato_balloon_core PROPERTIES AUTOMOC OFF AUTORCC OFF)
target_include_directories(sekato_balloon_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(sekato_balloon_core PRIVATE ${SEKATO_STRICT_WARNINGS})

add_library(sekato_balloon STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cballoontip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cballoontip.h)
target_include_directories(sekato_balloon PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sekato_balloon PUBLIC sekato_balloon_core Qt6::Widgets)
target_compile_options(sekato_balloon PRIVATE ${SEKATO_WARNINGS})

if(SEKATO_BUILD_TESTS)
  include(GoogleTest)
  add_executable(sekato_balloon_tests
    ${CMAKE_CURRENT_LIST_DIR}/tests/balloongeometry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ballooncontroller_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/balloonfakehost.h)
  set_target_properties(sekato_balloon_tests PROPERTIES AUTOMOC OFF AUTORCC OFF)
  target_link_libraries(sekato_balloon_tests PRIVATE sekato_balloon_core GTest::gtest_main)
  target_compile_options(sekato_balloon_tests PRIVATE ${SEKATO_WARNINGS})
  gtest_discover_tests(sekato_balloon_tests PROPERTIES LABELS controls DISCOVERY_TIMEOUT 60)

  add_executable(tst_cballoontip ${CMAKE_CURRENT_LIST_DIR}/tests/tst_cballoontip.cpp)
  target_link_libraries(tst_cballoontip PRIVATE sekato_balloon Qt6::Test)
  target_compile_options(tst_cballoontip PRIVATE ${SEKATO_WARNINGS})
  add_test(NAME tst_cballoontip COMMAND tst_cballoontip)
  set_tests_properties(tst_cballoontip PROPERTIES
    LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endif()
