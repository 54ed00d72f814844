# The window's languages: Simplified Chinese is the source text; English and Traditional
# Chinese are Qt Linguist files kept here. `cmake --build --preset default --target
# update_translations` refreshes them from the sources; the build compiles them to .qm and
# puts them in the program's resources under :/i18n.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(sekato_ts_files ${CMAKE_CURRENT_LIST_DIR}/sekato_en.ts ${CMAKE_CURRENT_LIST_DIR}/sekato_zh_TW.ts)

# The engine's messages travel as ids; their Chinese texts live in the engine's catalogue.
# lupdate reads them from a file made from that catalogue at configure time, so the
# translations follow every id without a second copy of the texts in the sources.
set(sekato_engine_catalogue ${PROJECT_SOURCE_DIR}/engine/base/messagecatalogue.cpp)
set(sekato_engine_strings ${CMAKE_CURRENT_BINARY_DIR}/enginemessagestrings.cpp)
set(sekato_engine_ids ${PROJECT_SOURCE_DIR}/engine/include/sekato/message.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${sekato_engine_catalogue} ${sekato_engine_ids})
find_package(Python3 REQUIRED COMPONENTS Interpreter)
execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/engine_message_strings.py
                        ${sekato_engine_ids} ${sekato_engine_catalogue} ${sekato_engine_strings}
                COMMAND_ERROR_IS_FATAL ANY)

file(GLOB sekato_ui_sources CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/ui/*.cpp ${PROJECT_SOURCE_DIR}/ui/*.h
     ${PROJECT_SOURCE_DIR}/controls/*.cpp ${PROJECT_SOURCE_DIR}/controls/*.h)
qt_add_lupdate(sekato_ui TS_FILES ${sekato_ts_files}
               SOURCES ${sekato_ui_sources} ${sekato_engine_strings}
               OPTIONS -no-obsolete -locations none -no-ui-lines)
qt_add_lrelease(sekato_ui TS_FILES ${sekato_ts_files} QM_FILES_OUTPUT_VARIABLE sekato_qm_files
                OPTIONS -silent)
qt_add_resources(sekato_res "translations" PREFIX "/i18n" BASE ${CMAKE_CURRENT_BINARY_DIR}
                 FILES ${sekato_qm_files})
