# Cross-compiling the Windows build with mingw-w64; the including file sets
# HX_MINGW_PREFIX. The -posix compilers carry std::mutex, which GoogleTest
# needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${HX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${HX_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${HX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under Wine in a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine-run)
