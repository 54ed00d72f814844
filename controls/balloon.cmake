# The balloon help tip: shape, placement and timer bookkeeping without Qt, the window with it.
add_library(sekato_balloon_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/balloongeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/balloongeometry.h
  ${CMAKE_CURRENT_LIST_DIR}/balloonhost.h
  ${CMAKE_CURRENT_LIST_DIR}/ballooncontroller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ballooncontroller.h)
set_target_properties(sekato_balloon_core PROPERTIES AUTOMOC OFF AUTORCC OFF)
target_include_directories(sekato_balloon_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
sekato_target_warnings(sekato_balloon_core STRICT)

add_library(sekato_balloon STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cballoontip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cballoontip.h)
target_include_directories(sekato_balloon PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sekato_balloon PUBLIC sekato_balloon_core Qt6::Widgets)
sekato_target_warnings(sekato_balloon)

if(SEKATO_BUILD_TESTS)
  sekato_add_gtest(sekato_balloon_tests LABEL controls
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/balloongeometry_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/ballooncontroller_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/balloonfakehost.h
    LIBRARIES sekato_balloon_core)
  sekato_add_qtest(tst_cballoontip SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tst_cballoontip.cpp
                   LIBRARIES sekato_balloon)
endif()
