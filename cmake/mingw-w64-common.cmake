# What both Windows toolchains share: MinGW-w64 with the posix thread model
# (so std::thread works) for the target TOVRIK_MINGW_TARGET names.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TOVRIK_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOVRIK_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${TOVRIK_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOVRIK_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests built for Windows run under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
