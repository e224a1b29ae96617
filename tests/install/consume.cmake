# Script run by CTest: install, then build the consumer through find_package
# and through pkg-config, and run both.

include(${CMAKE_CURRENT_LIST_DIR}/../support/run_command.cmake)

file(REMOVE_RECURSE ${PREFIX} ${WORK})
run("" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
run("" ${CMAKE_COMMAND} -S ${CONSUMER} -B ${WORK} -DCMAKE_PREFIX_PATH=${PREFIX}
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run("" ${CMAKE_COMMAND} --build ${WORK})
run(2451545 ${WORK}/consumer)

# Installed: the versioned SONAME link, the licence and (last, used below) the
# pkg-config file.
foreach(pattern lib*/libxvkit.so.1 share/doc/*/LICENSE lib*/pkgconfig/xvkit.pc)
    file(GLOB found ${PREFIX}/${pattern})
    if(NOT found)
        message(FATAL_ERROR "not installed: ${pattern}")
    endif()
endforeach()

# The same program built by hand with the flags pkg-config gives.
get_filename_component(pcdir ${found} DIRECTORY)
find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
run("" ${PKG_CONFIG} --cflags --libs xvkit)
separate_arguments(flags UNIX_COMMAND "${output}")
run("" ${PKG_CONFIG} --variable=libdir xvkit)
string(STRIP "${output}" libdir)
run("" ${CXX} ${CONSUMER}/main.cpp ${flags} ${LINK_FLAGS} -Wl,-rpath,${libdir}
    -o ${WORK}/pkg-config-consumer)
run(2451545 ${WORK}/pkg-config-consumer)

# The installed tool starts without LD_LIBRARY_PATH, also after the whole tree
# has moved elsewhere.
if(EXISTS ${PREFIX}/bin/xvkit)
    unset(ENV{LD_LIBRARY_PATH})
    file(REMOVE_RECURSE ${PREFIX}-moved)
    file(RENAME ${PREFIX} ${PREFIX}-moved)
    run("^xvkit [0-9]+\\.[0-9]+\\.[0-9]+\n$" ${PREFIX}-moved/bin/xvkit --version)
    file(RENAME ${PREFIX}-moved ${PREFIX})
endif()
