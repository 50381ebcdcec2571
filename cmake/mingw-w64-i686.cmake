# The 32-bit Windows build: link-checked only (no 32-bit Wine here).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(HX_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
