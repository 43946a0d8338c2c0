# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (the
# posix thread model, package g++-mingw-w64-x86-64-posix). Where Wine is
# installed (package wine64), what it builds runs under it, so CTest runs
# every test by itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

# Headers and libraries come from the target's tree only; tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs what the build makes: the tests, and the target run. Building the
# program needs no Wine, so a missing wine64 is left for the tests to report.
find_program(WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE64 wine64)
find_program(WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINESERVER NAMES wineserver64 wineserver)
if(WINE64 AND WINESERVER)
    # A Wine prefix of the build's own, which a test build makes; no Wine
    # chatter on standard error, where the tests read the program's diagnostics.
    set(WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
    set(WINE_ENVIRONMENT WINEDEBUG=-all "WINEPREFIX=${WINE_PREFIX}")
    set(CMAKE_CROSSCOMPILING_EMULATOR env ${WINE_ENVIRONMENT} "${WINE64}")
endif()
