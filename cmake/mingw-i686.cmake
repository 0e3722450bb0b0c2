# Cross toolchain: 32-bit Windows programs, the ones users get.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTRAVA_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
