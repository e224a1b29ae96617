# Included by the CTest scripts that build and run outside projects.
#
# run(PATTERN COMMAND...): runs COMMAND; fails the test unless it succeeds
# and, given a PATTERN, prints a match. Its standard output is left in
# `output`.
function(run pattern)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR (pattern AND NOT out MATCHES "${pattern}"))
        message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()
