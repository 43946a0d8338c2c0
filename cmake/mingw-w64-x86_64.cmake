# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (the
# posix thread model, package g++-mingw-w64-x86-64-posix) and runs what it
# builds under Wine (package wine64), so CTest runs every test by itself.
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

find_program(WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE64 wine64)
find_program(WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINESERVER NAMES wineserver64 wineserver)
if(NOT WINE64 OR NOT WINESERVER)
    message(FATAL_ERROR "Running the Windows build needs wine64 (Debian package wine64)")
endif()
# A Wine prefix of the build's own, made on the first run; no Wine chatter on
# standard error, where the tests read the program's diagnostics.
set(WINE_ENVIRONMENT WINEDEBUG=-all "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
set(CMAKE_CROSSCOMPILING_EMULATOR env ${WINE_ENVIRONMENT} "${WINE64}")
