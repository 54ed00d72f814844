# The markup label: parser, layout and pointer logic without Qt, and the widget that shows it.

add_library(sekato_markup_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/markupcanvas.h
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
sekato_target_warnings(sekato_markup_core STRICT)

add_library(sekato_markup STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cmarkupstatic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmarkupstatic.h)
target_include_directories(sekato_markup PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sekato_markup PUBLIC sekato_markup_core sekato_msgbox Qt6::Widgets)
sekato_target_warnings(sekato_markup)

if(SEKATO_BUILD_TESTS)
  sekato_add_gtest(sekato_markup_tests LABEL controls
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/markupfakes.h
            ${CMAKE_CURRENT_LIST_DIR}/tests/markuplayout_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/markupparser_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/markuppointer_test.cpp
    LIBRARIES sekato_markup_core)
  sekato_add_qtest(tst_markupstatic SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tst_markupstatic.cpp
                   LIBRARIES sekato_markup)
endif()
