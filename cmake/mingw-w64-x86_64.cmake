# Cross-compiles Tovrik for 64-bit Windows. What ships is the 32-bit build
# (Susie plug-ins are 32-bit DLLs); this build is the stand-in the tests run
# on a machine whose kernel runs no 32-bit program, under the 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOVRIK_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
