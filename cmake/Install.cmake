# Installation, in three components that become the Debian packages:
#
#   runtime   the two action libraries, plug-ins that a host loads by path,
#             in a folder of their own: <libdir>/installer-actions/ (on
#             Windows: bin/, beside the GCC runtime DLLs)
#   dev       the host-contract headers (include/installer-actions/host/)
#             and the CMake package:
#               find_package(InstallerActions REQUIRED)
#               target_link_libraries(myhost PRIVATE actions::host)       # the contract
#               target_link_libraries(myhost PRIVATE actions::vantorel)   # or load it at run time
#   actionhost  the runner, its manual page, the examples and the reference
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(WIN32)
  set(ACTIONS_PLUGIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(ACTIONS_CMAKE_DIR lib/cmake/InstallerActions)
else()
  set(ACTIONS_PLUGIN_DIR ${CMAKE_INSTALL_LIBDIR}/installer-actions)
  set(ACTIONS_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/InstallerActions)
endif()
set(ACTIONS_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/installer-actions)
set(ACTIONS_DATA_DIR ${CMAKE_INSTALL_DATADIR}/installer-actions)

install(TARGETS actionhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT actionhost)
install(DIRECTORY host/ DESTINATION ${ACTIONS_INCLUDE_DIR}/host COMPONENT dev FILES_MATCHING PATTERN "*.h")
install(DIRECTORY examples/ DESTINATION ${ACTIONS_DATA_DIR}/examples COMPONENT actionhost)
# The examples name the scenario schema by this relative path: ../scenario.schema.json.
install(FILES scenario.schema.json DESTINATION ${ACTIONS_DATA_DIR} COMPONENT actionhost)

if(ACTIONS_MSVC_BOUNDARY)
  # The 32-bit Windows kit is for hosts built with Visual C++: the DLLs, the
  # import libraries Microsoft's linker reads (made from the export lists),
  # the export lists, the contract headers (InstallException's among them), and
  # actionhost.exe with the Visual C++-ABI bridge it calls the DLLs through.
  install(TARGETS vantorel cobrinth RUNTIME DESTINATION ${ACTIONS_PLUGIN_DIR} COMPONENT runtime)
  install(FILES ${ACTIONS_MSVC_VANTOREL_LIB} DESTINATION lib RENAME vantorel.lib COMPONENT dev)
  install(FILES ${ACTIONS_MSVC_COBRINTH_LIB} DESTINATION lib RENAME cobrinth.lib COMPONENT dev)
  install(FILES vantorel/vantorel-msvc.def DESTINATION lib RENAME vantorel.def COMPONENT dev)
  install(FILES cobrinth/cobrinth.def DESTINATION lib COMPONENT dev)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/msvcbridge.dll DESTINATION ${CMAKE_INSTALL_BINDIR}
    COMPONENT actionhost)
  # The package config that a Visual Studio/CMake host finds the kit by.
  configure_package_config_file(cmake/InstallerActionsKitConfig.cmake.in
    ${PROJECT_BINARY_DIR}/InstallerActionsConfig.cmake INSTALL_DESTINATION ${ACTIONS_CMAKE_DIR}
    PATH_VARS ACTIONS_PLUGIN_DIR ACTIONS_INCLUDE_DIR CMAKE_INSTALL_LIBDIR)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/InstallerActionsConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/InstallerActionsConfig.cmake
                ${PROJECT_BINARY_DIR}/InstallerActionsConfigVersion.cmake
          DESTINATION ${ACTIONS_CMAKE_DIR} COMPONENT dev)
else()
  install(TARGETS vantorel cobrinth EXPORT InstallerActionsTargets
    LIBRARY DESTINATION ${ACTIONS_PLUGIN_DIR} COMPONENT runtime
    RUNTIME DESTINATION ${ACTIONS_PLUGIN_DIR} COMPONENT runtime
    ARCHIVE DESTINATION lib COMPONENT dev)
  install(TARGETS host_contract EXPORT InstallerActionsTargets)
  install(EXPORT InstallerActionsTargets NAMESPACE actions:: DESTINATION ${ACTIONS_CMAKE_DIR} COMPONENT dev)
  configure_package_config_file(cmake/InstallerActionsConfig.cmake.in
    ${PROJECT_BINARY_DIR}/InstallerActionsConfig.cmake INSTALL_DESTINATION ${ACTIONS_CMAKE_DIR}
    PATH_VARS ACTIONS_PLUGIN_DIR)
  # While the major version is 0, a minor release may change the contract:
  # only the same minor version is compatible.
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/InstallerActionsConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/InstallerActionsConfig.cmake
                ${PROJECT_BINARY_DIR}/InstallerActionsConfigVersion.cmake
          DESTINATION ${ACTIONS_CMAKE_DIR} COMPONENT dev)
endif()

if(WIN32)
  if(NOT ACTIONS_MSVC_BOUNDARY)
    # The 64-bit kit is for hosts built with mingw-w64: the .def files beside
    # the import libraries.
    install(FILES vantorel/vantorel.def cobrinth/cobrinth.def DESTINATION lib COMPONENT dev)
  endif()
  install(FILES README.md docs/actions.md DESTINATION doc COMPONENT actionhost)
  # The kit's own readme, at its top: requirements, folders, first commands.
  if(ACTIONS_MSVC_BOUNDARY)
    set(KIT_NAME "32-bit, for hosts built with Visual C++")
    set(KIT_BITS "32-bit")
    set(KIT_PURPOSE "The installer custom actions for a host built with Visual C++ (32-bit), and\nactionhost, which runs and tests them from scenario files.")
    set(KIT_REQUIREMENTS "- The Microsoft Visual C++ Redistributable for Visual Studio 2015-2022, x86\n  (vc_redist.x86.exe, from Microsoft), for actionhost.exe: it calls the\n  actions through msvcbridge.dll, a host built with Visual C++ as yours is,\n  and that needs vcruntime140.dll. Without it, actionhost.exe says so and\n  names the DLL. The action DLLs themselves need no runtime of their own.")
    set(KIT_BRIDGE ";\n                             msvcbridge.dll, through which it calls them as\n                             a host built with Visual C++ does")
  else()
    set(KIT_NAME "64-bit, for hosts built with mingw-w64")
    set(KIT_BITS "64-bit")
    set(KIT_PURPOSE "The installer custom actions for a 64-bit host built with mingw-w64, and\nactionhost, which runs and tests them from scenario files.")
    set(KIT_REQUIREMENTS "- Nothing else: GCC's runtime DLLs (libgcc_s_seh-1.dll, libstdc++-6.dll,\n  libwinpthread-1.dll) lie beside the DLLs in bin\\, and the C runtime is\n  Windows' own (msvcrt.dll).")
    set(KIT_BRIDGE "")
  endif()
  configure_file(packaging/windows-kit-README.txt.in ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION . COMPONENT actionhost)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win32)
  set(CPACK_PACKAGE_NAME installer-actions)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
else()
  include(DebianPackages)
endif()

set(CPACK_PACKAGE_VENDOR "installer-actions")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES TRUE)
include(CPack)
