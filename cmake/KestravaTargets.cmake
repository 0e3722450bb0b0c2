# kestrava_test(<name> SOURCES <files...> LIBS <libs...> [WINDOW])
#   A GoogleTest program registered with CTest. In the Windows trees CTest runs it
#   through scripts/wine-exec (the cross-compiling emulator). WINDOW marks a program that
#   shows windows or uses the pointer, the keyboard focus or the clipboard: those belong to
#   the one wineserver and display every test of a tree shares, so such programs run one at
#   a time (a lock), and each starts with the pointer parked in a corner. A program without
#   WINDOW must show no window. The test's main runs a start-up list first:
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
  # Every test's start and end line is printed: after a crash or a hang the last lines name
  # the test that was running.
  add_test(NAME ${name} COMMAND ${name})
  set(environment "KESTRAVA_SOURCE_DIR=${CMAKE_SOURCE_DIR};KESTRAVA_BINARY_DIR=${CMAKE_BINARY_DIR}")
  if(T_WINDOW)
    list(APPEND environment "KESTRAVA_WINDOW_TEST=1")
  endif()
  if(NOT WIN32)
    # Each test program writes its files into a folder of its own: test runs of other build
    # trees, and other programs of this run, use the same file names at the same time.
    # (Under Wine every tree has its own prefix and with it its own temporary folder.)
    set(scratch "${CMAKE_BINARY_DIR}/test-scratch/${name}")
    file(MAKE_DIRECTORY "${scratch}")
    list(APPEND environment "TMPDIR=${scratch}" "TEST_TMPDIR=${scratch}")
  endif()
  set_tests_properties(${name} PROPERTIES
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    ENVIRONMENT "${environment}"
    TIMEOUT 600)
  if(T_WINDOW)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x-display)
  endif()
endfunction()
