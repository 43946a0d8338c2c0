# Fails unless PROGRAM is an executable that needs no shared library.
# usage: cmake -DREADELF=<readelf> -DPROGRAM=<file> -P check_static.cmake
execute_process(
    COMMAND "${READELF}" --program-headers --dynamic "${PROGRAM}"
    OUTPUT_VARIABLE headers
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "readelf could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "[^\n]*(INTERP|\\(NEEDED\\))[^\n]*" found "${headers}")
if(found)
    list(JOIN found "\n" found)
    message(FATAL_ERROR "${PROGRAM} is linked dynamically:\n${found}")
endif()
message(STATUS "${PROGRAM} needs no shared library")
