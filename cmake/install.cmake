# Installs the library, its headers, a CMake package (find_package(xvkit)) and xvkit.pc.
include(CMakePackageConfigHelpers)

install(TARGETS xvkit EXPORT xvkitTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/xvkit DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(XVKIT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/xvkit)
install(EXPORT xvkitTargets NAMESPACE xvkit:: DESTINATION ${XVKIT_CMAKE_DIR})
configure_package_config_file(cmake/xvkitConfig.cmake.in
    ${PROJECT_BINARY_DIR}/xvkitConfig.cmake INSTALL_DESTINATION ${XVKIT_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/xvkitConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/xvkitConfig.cmake
              ${PROJECT_BINARY_DIR}/xvkitConfigVersion.cmake
        DESTINATION ${XVKIT_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so the package works
# wherever `cmake --install --prefix` puts it.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(XVKIT_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
    set(XVKIT_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
    file(RELATIVE_PATH up "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
    string(REGEX REPLACE "/$" "" up "${up}")
    set(XVKIT_PC_PREFIX "\${pcfiledir}/${up}")
    set(XVKIT_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(XVKIT_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
    set(XVKIT_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(cmake/xvkit.pc.in ${PROJECT_BINARY_DIR}/xvkit.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/xvkit.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
