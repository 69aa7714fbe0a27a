# What both MinGW-w64 toolchains share; the including file sets QUORVEX_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix variants: GoogleTest needs std::mutex and std::thread, which the
# win32-threads compilers do not provide.
set(CMAKE_C_COMPILER   ${QUORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QUORVEX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained exe: libgcc, libstdc++ and winpthread linked in, no MinGW DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# CTest (and gtest_discover_tests) run the cross-built programs under Wine.
get_filename_component(QUORVEX_WINE_EXEC "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${QUORVEX_WINE_EXEC}")
