# Cross toolchain: 64-bit Windows programs. Users get the 32-bit ones; this tree keeps
# the code 64-bit clean and runs the tests on machines that cannot execute 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTRAVA_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
