# Installation of libqn_host and libqn_gui: versioned shared objects, their headers (under
# include/qn_gui, included as "host/..." and "gui/..."), the built-in resources, a CMake
# package (find_package(qn_gui) gives qn_gui::qn_gui and qn_gui::qn_host) and a pkg-config
# file (qn_gui.pc).
include(CMakePackageConfigHelpers)

set(QN_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/qn_gui)

install(TARGETS qn_host qn_gui EXPORT qn_guiTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The image module libqn_host loads from its own folder on first use (ImageIo).
install(TARGETS qn_image_io LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
foreach(library host gui)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/${library}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qn_gui/${library}
            FILES_MATCHING PATTERN "*.h")
endforeach()
# The showcase's own settings stay with the showcase.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/qn_gui/resources
        PATTERN demo EXCLUDE)

install(EXPORT qn_guiTargets NAMESPACE qn_gui:: DESTINATION ${QN_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/qn_guiConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/qn_guiConfig.cmake INSTALL_DESTINATION ${QN_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/qn_guiConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/qn_guiConfig.cmake ${CMAKE_BINARY_DIR}/qn_guiConfigVersion.cmake
              ${CMAKE_SOURCE_DIR}/cmake/FindQnFltk.cmake
        DESTINATION ${QN_INSTALL_CMAKEDIR})

# The pkg-config file finds its prefix from its own place, so the tree can be installed anywhere.
file(RELATIVE_PATH QN_PC_TO_PREFIX "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" QN_PC_TO_PREFIX "${QN_PC_TO_PREFIX}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/qn_gui.pc.in ${CMAKE_BINARY_DIR}/qn_gui.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/qn_gui.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
