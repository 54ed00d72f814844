# The About box and the Help menu's web commands.

add_library(sekato_about STATIC
  ${CMAKE_CURRENT_LIST_DIR}/caboutdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/caboutdlg.h
  ${CMAKE_CURRENT_LIST_DIR}/weblinks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/weblinks.h)
target_include_directories(sekato_about PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sekato_about PUBLIC sekato_markup sekato_uikit sekato_buildinfo
                                          Qt6::Widgets)
sekato_target_warnings(sekato_about)

if(SEKATO_BUILD_TESTS)
  foreach(test tst_caboutdlg tst_weblinks)
    sekato_add_qtest(${test} SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/${test}.cpp
                     LIBRARIES sekato_about)
  endforeach()
  # The box's picture lives with the program's other images; show it when they are there.
  target_sources(tst_caboutdlg PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests/layoutcheck.cpp
                                       ${CMAKE_CURRENT_LIST_DIR}/tests/layoutcheck.h)
  if(EXISTS ${CMAKE_SOURCE_DIR}/res/sekato.qrc)
    target_sources(tst_caboutdlg PRIVATE ${CMAKE_SOURCE_DIR}/res/sekato.qrc)
  endif()
endif()
