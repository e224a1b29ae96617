# Packages of the install tree, made by `cpack -G DEB` or `cpack -G TGZ` in the
# build folder (both when no generator is named): a Debian package installing
# under /usr, and a .tar.gz of the same files.
set(CPACK_PACKAGE_NAME xvkit)
set(CPACK_PACKAGE_VENDOR "the xvkit developers")
set(CPACK_PACKAGE_CONTACT "the xvkit developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "C++20 class library for dates, time zones, locales, bit vectors and regular expressions")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# The C and C++ runtimes the library and the tool link against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1")

include(CPack)
