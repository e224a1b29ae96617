# Script run by CTest: install, then build the consumer through find_package
# and through pkg-config, and run both.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
run(${CMAKE_COMMAND} -S ${CONSUMER} -B ${WORK} -DCMAKE_PREFIX_PATH=${PREFIX}
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK})
run(${WORK}/consumer)
if(NOT output MATCHES "2451545")
    message(FATAL_ERROR "unexpected consumer output: ${output}")
endif()

# The same program built by hand with the flags pkg-config gives.
file(GLOB pc ${PREFIX}/lib*/pkgconfig/xvkit.pc)
if(NOT pc)
    message(FATAL_ERROR "xvkit.pc was not installed")
endif()
get_filename_component(pcdir ${pc} DIRECTORY)
find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
run(${PKG_CONFIG} --cflags --libs xvkit)
separate_arguments(flags UNIX_COMMAND "${output}")
run(${PKG_CONFIG} --variable=libdir xvkit)
string(STRIP "${output}" libdir)
run(${CXX} ${CONSUMER}/main.cpp ${flags} ${LINK_FLAGS} -Wl,-rpath,${libdir}
    -o ${WORK}/pkg-config-consumer)
run(${WORK}/pkg-config-consumer)
if(NOT output MATCHES "2451545")
    message(FATAL_ERROR "unexpected pkg-config consumer output: ${output}")
endif()

file(GLOB sonames ${PREFIX}/lib*/libxvkit.so.1)
if(NOT sonames)
    message(FATAL_ERROR "versioned SONAME link libxvkit.so.1 missing")
endif()

file(GLOB licence ${PREFIX}/share/doc/*/LICENSE)
if(NOT licence)
    message(FATAL_ERROR "LICENSE was not installed")
endif()

# The installed tool starts without LD_LIBRARY_PATH, also after the whole tree
# has moved elsewhere.
if(EXISTS ${PREFIX}/bin/xvkit)
    unset(ENV{LD_LIBRARY_PATH})
    file(REMOVE_RECURSE ${PREFIX}-moved)
    file(RENAME ${PREFIX} ${PREFIX}-moved)
    run(${PREFIX}-moved/bin/xvkit --version)
    if(NOT output MATCHES "^xvkit [0-9]+\\.[0-9]+\\.[0-9]+\n$")
        message(FATAL_ERROR "unexpected output of the installed tool: ${output}")
    endif()
    file(RENAME ${PREFIX}-moved ${PREFIX})
endif()
