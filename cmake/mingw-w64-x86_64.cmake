# The 64-bit Windows build: the one whose tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
