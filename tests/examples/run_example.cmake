# Script run by CTest: runs PROGRAM, which must exit with 0 and print exactly
# the contents of the file EXPECTED.
execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE status OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} exited with ${status}:\n${output}${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "${PROGRAM} printed:\n${output}\ninstead of:\n${expected}")
endif()
