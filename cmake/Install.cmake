# Installation: the two libraries, the host-contract headers, actionhost and
# the examples, with a CMake package a host project can find_package:
#
#   find_package(InstallerActions REQUIRED)
#   target_link_libraries(myhost PRIVATE actions::host)       # the contract
#   target_link_libraries(myhost PRIVATE actions::vantorel)   # or load it at run time
include(CMakePackageConfigHelpers)

set(ACTIONS_CMAKE_DIR lib/cmake/InstallerActions)

install(TARGETS host_contract vantorel cobrinth EXPORT InstallerActionsTargets
  LIBRARY DESTINATION lib
  ARCHIVE DESTINATION lib
  RUNTIME DESTINATION bin)
install(TARGETS actionhost RUNTIME DESTINATION bin)
install(DIRECTORY host/ DESTINATION include/host FILES_MATCHING PATTERN "*.h" PATTERN "CMakeLists.txt" EXCLUDE)
install(DIRECTORY examples/ DESTINATION share/installer-actions/examples)
install(FILES README.md docs/actions.md DESTINATION share/doc/installer-actions OPTIONAL)

install(EXPORT InstallerActionsTargets NAMESPACE actions:: DESTINATION ${ACTIONS_CMAKE_DIR})
configure_package_config_file(cmake/InstallerActionsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/InstallerActionsConfig.cmake INSTALL_DESTINATION ${ACTIONS_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/InstallerActionsConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/InstallerActionsConfig.cmake
              ${PROJECT_BINARY_DIR}/InstallerActionsConfigVersion.cmake
        DESTINATION ${ACTIONS_CMAKE_DIR})

# Packages: cpack in the build folder (scripts/package.sh).
set(CPACK_PACKAGE_NAME installer-actions)
set(CPACK_PACKAGE_VENDOR "installer-actions")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Installer custom actions (vantorel, cobrinth) and the actionhost runner")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "installer-actions maintainers")
set(CPACK_STRIP_FILES TRUE)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpoco-dev, libboost-dev")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
endif()
include(CPack)
