# Cross-compiles Tovrik for 32-bit Windows. Susie plug-ins are 32-bit DLLs,
# hence i686.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOVRIK_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
