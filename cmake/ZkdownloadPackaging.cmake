# What `cmake --install` puts where, and the Debian package `cpack -G DEB`
# builds from it: the shared library with its SONAME links, the public
# headers, pkg-config and CMake package files, the command, the simulated
# handset, the udev rule and the manual page.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZK_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zkdownload)

# The installed programs find the library relative to themselves, so an
# install under any prefix runs without LD_LIBRARY_PATH.
file(RELATIVE_PATH ZK_LIB_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(zkdownload-cli PROPERTIES INSTALL_RPATH "$ORIGIN/${ZK_LIB_FROM_BIN}")

install(TARGETS zkdownload EXPORT zkdownloadTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/zkdownload DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS zkdownload-cli rb310-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/scripts/udev/77-zkdownload.rules DESTINATION lib/udev/rules.d)
install(FILES ${PROJECT_SOURCE_DIR}/man/zkdownload.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# pkg-config: paths relative to the .pc file, so the file stays right when
# the install is moved or made with `cmake --install --prefix`.
file(RELATIVE_PATH ZK_PC_PREFIX_FROM_PCDIR /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" ZK_PC_PREFIX_FROM_PCDIR "${ZK_PC_PREFIX_FROM_PCDIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zkdownload.pc.in ${PROJECT_BINARY_DIR}/zkdownload.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zkdownload.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(EXPORT zkdownloadTargets NAMESPACE zkdownload:: DESTINATION ${ZK_CMAKE_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zkdownloadConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zkdownloadConfig.cmake INSTALL_DESTINATION ${ZK_CMAKE_PACKAGE_DIR})
# The SONAME changes with the major version, so only the same major is
# compatible.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zkdownloadConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zkdownloadConfig.cmake ${PROJECT_BINARY_DIR}/zkdownloadConfigVersion.cmake
  DESTINATION ${ZK_CMAKE_PACKAGE_DIR})

# The reference for hosts, from the comments of zkdownload.h (optional).
find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
  add_custom_target(docs
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/docs
    COMMAND ${CMAKE_COMMAND} -E env ZK_DOCS_OUTPUT=${PROJECT_BINARY_DIR}/docs ZK_VERSION=${PROJECT_VERSION}
            ${DOXYGEN_EXECUTABLE} ${PROJECT_SOURCE_DIR}/docs/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Host reference in ${PROJECT_BINARY_DIR}/docs/html"
    VERBATIM)
endif()

set(CPACK_PACKAGE_NAME zkdownload)
set(CPACK_PACKAGE_VENDOR "zkdownload developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Servicing library, command and simulated handset for the RB310 CDMA handset")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "zkdownload developers <zkdownload@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "libzkdownload.so upgrades, rescues and provisions RB310 handsets over a serial\nor USB modem port; zkdownload is its command line, rb310-sim a simulated\nhandset on a pseudo-terminal.")
set(CPACK_STRIP_FILES ON)
# Two packages: zkdownload, and zkdownload-qt with the Qt interface plugin,
# so that only a machine that wants the windows installs Qt.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME zkdownload)
set(CPACK_DEBIAN_QT_PACKAGE_NAME zkdownload-qt)
set(CPACK_DEBIAN_QT_PACKAGE_DEPENDS "zkdownload (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_QT_DESCRIPTION "The Qt operator interface of libzkdownload.so: progress window and dialogs.")
include(CPack)
