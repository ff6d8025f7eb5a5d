# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 x86_64 compiler.
set(KEL_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
