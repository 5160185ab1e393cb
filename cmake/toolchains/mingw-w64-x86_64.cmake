# Cross-compiles for 64-bit Windows with the posix-threads MinGW-w64 compilers,
# so std::thread and OpenMP work; tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(toolchainPrefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${toolchainPrefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${toolchainPrefix}-g++-posix)
set(CMAKE_RC_COMPILER ${toolchainPrefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${toolchainPrefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run)
