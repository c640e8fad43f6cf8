# `cmake --install` for the runtime library: the versioned shared library, the public
# headers under include/vorgrd/ keeping their folders (<vorgrd/grid/vorGrid.h>; the
# headers include each other as "grid/...", so include/vorgrd is on the interface
# too), and the CMake package vorgrd (target vorgrd::vorgrd). Private headers
# (*_p.h) stay out.
include_guard(GLOBAL)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VORGRD_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vorgrd)

install(TARGETS vorgrd EXPORT vorgrdTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${CMAKE_INSTALL_INCLUDEDIR}/vorgrd)
install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vorgrd COMPONENT development
        FILES_MATCHING PATTERN "*.h"
        PATTERN "*_p.h" EXCLUDE
        PATTERN "plugin" EXCLUDE
        PATTERN "resources" EXCLUDE)
install(EXPORT vorgrdTargets NAMESPACE vorgrd:: DESTINATION ${VORGRD_CMAKE_DIR} COMPONENT development)

# The package asks for vorgrd's private libraries only where a consumer's link needs
# them: a static vorgrd (a shared one carries them itself).
get_target_property(VORGRD_LIBRARY_TYPE vorgrd TYPE)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/vorgrdConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/vorgrdConfig.cmake
                              INSTALL_DESTINATION ${VORGRD_CMAKE_DIR}
                              PATH_VARS CMAKE_INSTALL_INCLUDEDIR VORGRD_DESIGNER_PLUGIN_DIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/vorgrdConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vorgrdConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/vorgrdConfigVersion.cmake
        DESTINATION ${VORGRD_CMAKE_DIR} COMPONENT development)
