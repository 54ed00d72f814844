# The About box and the Help menu's web commands.

add_library(sekato_about STATIC
  ${CMAKE_CURRENT_LIST_DIR}/caboutdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/caboutdlg.h
  ${CMAKE_CURRENT_LIST_DIR}/weblinks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/weblinks.h)
target_include_directories(sekato_about PUBLIC ${CMAKE_CURRENT_LIST_DIR}
  PRIVATE ${CMAKE_SOURCE_DIR}/engine)
target_link_libraries(sekato_about PUBLIC sekato_markup sekato_uikit Qt6::Widgets)
target_compile_options(sekato_about PRIVATE ${SEKATO_WARNINGS})

if(SEKATO_BUILD_TESTS)
  foreach(test tst_caboutdlg tst_weblinks)
    add_executable(${test} ${CMAKE_CURRENT_LIST_DIR}/tests/${test}.cpp)
    target_include_directories(${test} PRIVATE ${CMAKE_SOURCE_DIR}/engine)
    target_link_libraries(${test} PRIVATE sekato_about Qt6::Test)
    target_compile_options(${test} PRIVATE ${SEKATO_WARNINGS})
    add_test(NAME ${test} COMMAND ${test})
    set_tests_properties(${test} PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endforeach()
  # The box's picture lives with the program's other images; show it when they are there.
  if(EXISTS ${CMAKE_SOURCE_DIR}/res/sekato.qrc)
    target_sources(tst_caboutdlg PRIVATE ${CMAKE_SOURCE_DIR}/res/sekato.qrc)
  endif()
endif()
