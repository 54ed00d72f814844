# The form, its run control, the application and the main frame: a library the program, the
# tools and the tests share, then the `sekato` program with its install rules.
find_package(Threads REQUIRED)

# Bitmaps and icons, every one drawn by scripts/draw_images.py. An object library, so that
# each program linking it really carries the resources.
add_library(sekato_res OBJECT ${CMAKE_SOURCE_DIR}/res/sekato.qrc)
target_link_libraries(sekato_res PRIVATE Qt6::Core)

add_library(sekato_ui STATIC
  cbookqueue.cpp cbookqueue.h
  cformdefaults.cpp cformdefaults.h
  cformenabling.cpp cformenabling.h
  cconvertrow.cpp cconvertrow.h
  creplacerulesdlg.cpp creplacerulesdlg.h
  crulecounter.cpp crulecounter.h
  cformhelptips.cpp cformhelptips.h
  cformoptions.cpp cformoptions.h
  cformtemplate.cpp cformtemplate.h
  cfullcolortoolbar.cpp cfullcolortoolbar.h
  cchapterstrip.cpp cchapterstrip.h
  cheadinglistmodel.cpp cheadinglistmodel.h
  ckeptlist.cpp ckeptlist.h
  cmainframe.cpp cmainframe.h
  cnewfolderrule.cpp cnewfolderrule.h
  csekatoapp.cpp csekatoapp.h
  csekatoview.cpp csekatoview.h
  csourcefindings.cpp csourcefindings.h
  csourcelinesdlg.cpp csourcelinesdlg.h
  csourcelook.cpp csourcelook.h
  quiethost.h
  cpreviewdlg.cpp cpreviewdlg.h
  crunchecks.cpp crunchecks.h
  cqueuedock.cpp cqueuedock.h
  cqueuelist.cpp cqueuelist.h
  crunstarter.cpp crunstarter.h
  csplitruncontrol.cpp csplitruncontrol.h
  csplitworker.cpp csplitworker.h
  droppedfiles.cpp droppedfiles.h
  enginemessages.cpp enginemessages.h
  fieldsetters.cpp fieldsetters.h
  filechoosers.cpp filechoosers.h
  formhelptexts.h
  formsnapshot.cpp formsnapshot.h
  queueheadingcheck.cpp queueheadingcheck.h
  resourceids.cpp resourceids.h
  uilanguage.cpp uilanguage.h
  usersettings.cpp usersettings.h
  windowplacement.cpp windowplacement.h
)
target_include_directories(sekato_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(sekato_ui PUBLIC sekato_uikit sekato_msgbox sekato_about sekato_balloon
                                       sekato_engine sekato_tocfile Qt6::Widgets Threads::Threads)
sekato_target_warnings(sekato_ui)
# Its English and Traditional Chinese, compiled into the resources.
include(${CMAKE_CURRENT_SOURCE_DIR}/i18n/i18n.cmake)

add_executable(sekato main.cpp)
target_link_libraries(sekato PRIVATE sekato_ui sekato_res)
sekato_target_warnings(sekato)
# The desktop entry, icons and the rest of what a desktop needs are installed by packaging/.
install(TARGETS sekato RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Tools: pictures of the window for the documentation, and the window's side of the benchmark.
add_executable(sekato-screenshot tools/screenshot.cpp)
target_link_libraries(sekato-screenshot PRIVATE sekato_ui sekato_res)
sekato_target_warnings(sekato-screenshot)
target_compile_definitions(sekato-screenshot PRIVATE
  SEKATO_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/samples")

add_executable(sekato-guibench tools/guibench.cpp)
target_link_libraries(sekato-guibench PRIVATE sekato_ui sekato_res)
sekato_target_warnings(sekato-guibench)

if(SEKATO_BUILD_TESTS)
  add_library(sekato_ui_testsupport STATIC tests/uitestsupport.cpp tests/uitestsupport.h
                                           tests/layoutcheck.cpp tests/layoutcheck.h
                                           tests/formundertest.cpp tests/formundertest.h
                                           tests/previewfixture.cpp tests/previewfixture.h
                                           tests/runfixture.cpp tests/runfixture.h
                                           tests/scriptedrun.cpp tests/scriptedrun.h
                                           tests/watchdog.cpp tests/watchdog.h)
  target_include_directories(sekato_ui_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  target_link_libraries(sekato_ui_testsupport PUBLIC sekato_ui Qt6::Test)
  sekato_target_warnings(sekato_ui_testsupport)
  target_compile_definitions(sekato_ui_testsupport PRIVATE
    SEKATO_GENERATOR_PATH="${PROJECT_SOURCE_DIR}/bench/gen_novel.py"
    SEKATO_CLI_PATH="$<TARGET_FILE:sekato-cli>")

  foreach(test tst_csekatoview tst_formlayout tst_runcontrol tst_runmessages tst_cmainframe tst_endtoend tst_formhelptips
               tst_preview tst_previewlist tst_sourcelinesdlg tst_keptlist tst_languages tst_bookqueue tst_usersettings
               tst_convertui)
    sekato_add_qtest(${test} SOURCES tests/${test}.cpp tests/isolatedprofile.cpp TIMEOUT 300
                     LIBRARIES sekato_ui_testsupport sekato_res)
  endforeach()
  # The window at several densities, each on a screen that grows with it (a laptop panel of
  # 1366 × 768 at 96 dpi), and at 144 dpi on a screen too small for the form.
  sekato_add_qtest(tst_highdpi SOURCES tests/tst_highdpi.cpp tests/isolatedprofile.cpp
                   LIBRARIES sekato_ui_testsupport sekato_res)
  foreach(screen 96:1366:768 120:1708:960 144:2049:1152 192:2732:1536 144:1024:768)
    string(REPLACE ":" ";" parts ${screen})
    list(GET parts 0 dpi)
    list(GET parts 1 width)
    list(GET parts 2 height)
    set(config ${CMAKE_CURRENT_BINARY_DIR}/screen-${dpi}-${width}.json)
    file(WRITE ${config} "{\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": ${width}, \"height\": ${height}, \"logicalDpi\": ${dpi}, \"dpr\": 1}]}\n")
    add_test(NAME tst_highdpi_${dpi}_${width} COMMAND tst_highdpi)
    set_tests_properties(tst_highdpi_${dpi}_${width} PROPERTIES LABELS gui TIMEOUT 60
                         ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${config}")
  endforeach()
  # The preview test reads the sample novel, and the layout test keeps a list made for it.
  foreach(test tst_preview tst_previewlist tst_highdpi)
    target_compile_definitions(${test} PRIVATE SEKATO_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/samples")
  endforeach()
  # The window's side of bench/gui_vs_cli.sh splits the sample novel and says it did.
  set(guibench_out ${CMAKE_CURRENT_BINARY_DIR}/guibench-out)
  # Its profile is a folder of its own, emptied first, like its output.
  add_test(NAME guibench_completes
           COMMAND sh -c "rm -rf '${guibench_out}' '${guibench_out}-profile' && exec \"$0\" \"$@\""
                   $<TARGET_FILE:sekato-guibench> ${PROJECT_SOURCE_DIR}/samples/sanguoyanyi.gbk.txt
                   ${guibench_out} -m size --kb 500 --no-ad)
  set_tests_properties(guibench_completes PROPERTIES LABELS gui TIMEOUT 120
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${guibench_out}-profile")
  # The end-to-end test compares with the command-line splitter.
  add_dependencies(tst_endtoend sekato-cli)
  add_dependencies(tst_convertui sekato-cli)
endif()
