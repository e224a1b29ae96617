# Script run by CTest: configures and builds the parent project with GoogleTest
# out of reach, then checks that it ran and that xvkit built nothing else.

include(${CMAKE_CURRENT_LIST_DIR}/../support/run_command.cmake)

file(REMOVE_RECURSE ${WORK})
# find_package(GTest) fails in this build, so a test target would stop it.
run("" ${CMAKE_COMMAND} --no-warn-unused-cli -S ${PARENT} -B ${WORK} -DXVKIT_SOURCE_DIR=${SOURCE}
    -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS=-g0 -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON)
run("" ${CMAKE_COMMAND} --build ${WORK})
run("^2451545\n$" ${WORK}/parent)

# The parent's cache keeps its own (empty) build type, and xvkit's options
# beyond the library are off.
file(STRINGS ${WORK}/CMakeCache.txt cache)
foreach(setting CMAKE_BUILD_TYPE:STRING= XVKIT_BUILD_TESTS:BOOL=OFF XVKIT_BUILD_TOOLS:BOOL=OFF
        XVKIT_BUILD_EXAMPLES:BOOL=OFF XVKIT_INSTALL:BOOL=OFF)
    list(FIND cache ${setting} found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the parent's cache lacks ${setting}")
    endif()
endforeach()
foreach(made xvkit/tools xvkit/tests xvkit/examples xvkit/locales)
    if(EXISTS ${WORK}/${made})
        message(FATAL_ERROR "xvkit built ${made} for its parent")
    endif()
endforeach()
