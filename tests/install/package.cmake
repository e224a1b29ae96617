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

unset(ENV{LD_LIBRARY_PATH})
run("^2024-03-15T22:00:00\\+09:00\n$" ${usr}/bin/xvkit time -z America/New_York --to Asia/Tokyo
    --iso 2024-03-15T09:00)
run("" ${CMAKE_COMMAND} -S ${CONSUMER} -B ${WORK}/consumer -DCMAKE_PREFIX_PATH=${usr}
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run("" ${CMAKE_COMMAND} --build ${WORK}/consumer)
run(2451545 ${WORK}/consumer/consumer)
