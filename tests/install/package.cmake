# Script run by CTest: makes the Debian package with CPack, unpacks it with
# dpkg-deb -x (as dpkg would install it, without installing it), runs the tool
# it holds and builds the consumer against it through find_package.

include(${CMAKE_CURRENT_LIST_DIR}/../support/run_command.cmake)

file(REMOVE_RECURSE ${WORK})
run("" ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK}/package)
file(GLOB deb ${WORK}/package/*.deb)
if(NOT deb)
    message(FATAL_ERROR "cpack made no .deb in ${WORK}/package")
endif()
run("Package: xvkit" dpkg-deb --info ${deb})
run("" dpkg-deb -x ${deb} ${WORK}/root)
set(usr ${WORK}/root/usr)

# The files a user of the package reaches for.
foreach(pattern bin/xvkit lib*/libxvkit.so.1 include/xvkit/xvkit.h lib*/cmake/xvkit/xvkitConfig.cmake
        share/man/man1/xvkit.1 share/bash-completion/completions/xvkit)
    file(GLOB found ${usr}/${pattern})
    if(NOT found)
        message(FATAL_ERROR "not in the package: ${pattern}")
    endif()
endforeach()

# The installed tool converts through each zone's whole history: zone, UTC
# instant and the database's reading of it.
unset(ENV{LD_LIBRARY_PATH})
foreach(row
        "Europe/Moscow 2012-07-01T12:00:00Z 2012-07-01T16:00:00\\+04:00"
        "Asia/Pyongyang 2016-01-01T00:00:00Z 2016-01-01T08:30:00\\+08:30"
        "Pacific/Apia 1975-01-15T12:00:00Z 1975-01-15T01:00:00-11:00"
        "Europe/Lisbon 1993-07-01T12:00:00Z 1993-07-01T14:00:00\\+02:00"
        "America/Caracas 2010-01-01T12:00:00Z 2010-01-01T07:30:00-04:30"
        "Europe/Berlin 1945-06-01T12:00:00Z 1945-06-01T15:00:00\\+03:00")
    separate_arguments(row)
    list(GET row 0 zone)
    list(GET row 1 instant)
    list(GET row 2 reading)
    run("^${reading}\n$" ${usr}/bin/xvkit time --to ${zone} --iso ${instant})
endforeach()
run("^2024-03-15T22:00:00\\+09:00\n$" ${usr}/bin/xvkit time -z America/New_York --to Asia/Tokyo
    --iso 2024-03-15T09:00)
run("" ${CMAKE_COMMAND} -S ${CONSUMER} -B ${WORK}/consumer -DCMAKE_PREFIX_PATH=${usr}
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run("" ${CMAKE_COMMAND} --build ${WORK}/consumer)
run(2451545 ${WORK}/consumer/consumer)
