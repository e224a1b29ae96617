# Script run by CTest: install, then build the consumer through find_package
# and through pkg-config, and run both.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

# run(), and fail unless the output matches `pattern`.
function(run_expecting pattern)
    run(${ARGN})
    if(NOT output MATCHES "${pattern}")
        message(FATAL_ERROR "unexpected output of ${ARGN}: ${output}")
    endif()
endfunction()

# Fails unless the files `pattern` exist.
function(require_files pattern)
    file(GLOB found ${pattern})
    if(NOT found)
        message(FATAL_ERROR "not installed: ${pattern}")
    endif()
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
run(${CMAKE_COMMAND} -S ${CONSUMER} -B ${WORK} -DCMAKE_PREFIX_PATH=${PREFIX}
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK})
run_expecting(2451545 ${WORK}/consumer)

# The same program built by hand with the flags pkg-config gives.
require_files(${PREFIX}/lib*/pkgconfig/xvkit.pc)
file(GLOB pc ${PREFIX}/lib*/pkgconfig/xvkit.pc)
get_filename_component(pcdir ${pc} DIRECTORY)
find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
run(${PKG_CONFIG} --cflags --libs xvkit)
separate_arguments(flags UNIX_COMMAND "${output}")
run(${PKG_CONFIG} --variable=libdir xvkit)
string(STRIP "${output}" libdir)
run(${CXX} ${CONSUMER}/main.cpp ${flags} ${LINK_FLAGS} -Wl,-rpath,${libdir}
    -o ${WORK}/pkg-config-consumer)
run_expecting(2451545 ${WORK}/pkg-config-consumer)
require_files(${PREFIX}/lib*/libxvkit.so.1)  # the versioned SONAME link
require_files(${PREFIX}/share/doc/*/LICENSE)

# The installed tool starts without LD_LIBRARY_PATH, also after the whole tree
# has moved elsewhere.
if(EXISTS ${PREFIX}/bin/xvkit)
    unset(ENV{LD_LIBRARY_PATH})
    file(REMOVE_RECURSE ${PREFIX}-moved)
    file(RENAME ${PREFIX} ${PREFIX}-moved)
    run_expecting("^xvkit [0-9]+\\.[0-9]+\\.[0-9]+\n$" ${PREFIX}-moved/bin/xvkit --version)
    file(RENAME ${PREFIX}-moved ${PREFIX})
endif()
