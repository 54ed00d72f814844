# The markup label: parser, layout and pointer logic without Qt, and the widget that shows it.

add_library(sekato_markup_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/markupcanvas.h
  ${CMAKE_CURRENT_LIST_DIR}/markupgbk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markupgbk.h
  ${CMAKE_CURRENT_LIST_DIR}/markuplabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markuplabel.h
  ${CMAKE_CURRENT_LIST_DIR}/markuplayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markuplayout.h
  ${CMAKE_CURRENT_LIST_DIR}/markupparser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markupparser.h
  ${CMAKE_CURRENT_LIST_DIR}/markuppointer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markuppointer.h
  ${CMAKE_CURRENT_LIST_DIR}/markuppointerhost.h
  ${CMAKE_CURRENT_LIST_DIR}/markupsegment.h)
set_target_properties(sekato_markup_core PROPERTIES AUTOMOC OFF AUTORCC OFF)
target_include_directories(sekato_markup_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(sekato_markup_core PRIVATE ${SEKATO_STRICT_WARNINGS})

add_library(sekato_markup STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cmarkupstatic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmarkupstatic.h)
target_include_directories(sekato_markup PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sekato_markup PUBLIC sekato_markup_core sekato_msgbox Qt6::Widgets)
target_compile_options(sekato_markup PRIVATE ${SEKATO_WARNINGS})

if(SEKATO_BUILD_TESTS)
  include(GoogleTest)
  add_executable(sekato_markup_tests
    ${CMAKE_CURRENT_LIST_DIR}/tests/markupfakes.h
    ${CMAKE_CURRENT_LIST_DIR}/tests/markupgbk_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/markuplayout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/markupparser_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/markuppointer_test.cpp)
  set_target_properties(sekato_markup_tests PROPERTIES AUTOMOC OFF AUTORCC OFF)
  target_link_libraries(sekato_markup_tests PRIVATE sekato_markup_core GTest::gtest_main)
  target_compile_options(sekato_markup_tests PRIVATE ${SEKATO_WARNINGS})
  gtest_discover_tests(sekato_markup_tests PROPERTIES LABELS controls DISCOVERY_TIMEOUT 60)

  add_executable(tst_markupstatic ${CMAKE_CURRENT_LIST_DIR}/tests/tst_markupstatic.cpp)
  target_link_libraries(tst_markupstatic PRIVATE sekato_markup Qt6::Test)
  target_compile_options(tst_markupstatic PRIVATE ${SEKATO_WARNINGS})
  add_test(NAME tst_markupstatic COMMAND tst_markupstatic)
  set_tests_properties(tst_markupstatic PROPERTIES
    LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
