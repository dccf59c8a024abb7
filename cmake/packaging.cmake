# Installation and packages: the library, its headers, a CMake package and a
# pkg-config file; the tool with its manual page and bash completion (see
# cli/); a Debian package of all of it with `cpack -G DEB`.
include(CMakePackageConfigHelpers)

install(TARGETS lum EXPORT lumTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Unspecified)
install(DIRECTORY include/lum DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_BINARY_DIR}/include/lum/version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lum)

install(EXPORT lumTargets NAMESPACE lum:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/lum)
configure_package_config_file(cmake/lumConfig.cmake.in ${PROJECT_BINARY_DIR}/lumConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/lum)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/lumConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/lumConfig.cmake ${PROJECT_BINARY_DIR}/lumConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/lum)

# The .pc file finds the prefix from where it lies, so one file serves any
# prefix (cmake --install --prefix, the Debian package's /usr).
file(RELATIVE_PATH LUM_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/lum.pc.in ${PROJECT_BINARY_DIR}/lum.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lum.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reads models stored in the Vellum notation (library and tool)")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "lum reads software models stored in the Vellum notation (main files and unit files) into a typed object "
       "graph, binds their references, and prints, renders, diffs and exports them (JSON, XMI, PlantUML, a web site).")
set(CPACK_PACKAGE_CONTACT "lum developers <lum@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "librsvg2-bin, plantuml")
include(CPack)
