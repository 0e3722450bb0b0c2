# kestrava_test(<name> SOURCES <files...> LIBS <libs...> [WINDOW])
#   A GoogleTest program registered with CTest. In the win32 tree CTest runs it
#   through scripts/wine-exec (the cross-compiling emulator). WINDOW marks a test
#   that opens real windows; it is serialized against other window tests because
#   they share one X display and its focus. The test's main runs a start-up list first:
#   the graphics binding (ktest_main), or also the picture formats when the folder sets
#   KESTRAVA_TEST_STARTUP to "pictures" (ktest_main_pictures).
function(kestrava_test name)
  cmake_parse_arguments(T "WINDOW" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set(main ktest_main)
  if(KESTRAVA_TEST_STARTUP STREQUAL "pictures")
    set(main ktest_main_pictures)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${main} GTest::gmock GTest::gtest)
  if(WIN32)
    # A console program: the harness reads its output through Wine.
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    ENVIRONMENT "KESTRAVA_SOURCE_DIR=${CMAKE_SOURCE_DIR};KESTRAVA_BINARY_DIR=${CMAKE_BINARY_DIR}"
    TIMEOUT 600)
  if(T_WINDOW)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x-display)
  endif()
endfunction()
