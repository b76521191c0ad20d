# Shared part of the two MinGW-w64 toolchain files: compilers, resource compiler, search roots.
set(CMAKE_C_COMPILER   ${TAVRINO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRINO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TAVRINO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVRINO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run under Wine, in the build tree's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
# Archives through GCC's wrappers, which index the link-time-optimisation objects of the
# shipped build (CMakeLists.txt) as well as plain ones.
set(CMAKE_AR     /usr/bin/${TAVRINO_MINGW_TRIPLE}-gcc-ar-posix)
set(CMAKE_RANLIB /usr/bin/${TAVRINO_MINGW_TRIPLE}-gcc-ranlib-posix)
