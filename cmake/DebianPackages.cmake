# Three Debian packages from the install components, made by CPack:
#
#   installer-actions      the two action libraries, plug-ins in
#                          /usr/lib/<triplet>/installer-actions/, a folder no
#                          loader searches (their SONAME is their file name,
#                          libvantorel.so; no ldconfig: hosts load them by path)
#   installer-actions-dev  the contract headers and the CMake package
#   actionhost             the runner, its manual page, examples, reference
#
# Each carries a copyright file and the changelog; dependencies on shared
# libraries are computed by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev actionhost)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SOURCE installer-actions)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_CONTACT "Installer Actions Team <installer-actions@example.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://installer-actions.example.org/")
set(debian_version "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME installer-actions)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "installer custom actions (vantorel, cobrinth)
The two libraries of installer custom actions that an installer engine loads
into its process and calls by exported name with its action context.
vantorel holds 19 actions: feature selection, disk space, versions and patch
levels, prerequisites and utilities; cobrinth holds 3 actions built against
the earlier form of the host's product interfaces.
.
The libraries are plug-ins, loaded by path from
/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/installer-actions/.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME installer-actions-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# The contract headers use Boost's smart pointers, and nothing of POCO.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "installer-actions (= ${debian_version}), libboost-dev")
set(CPACK_COMPONENT_DEV_DESCRIPTION "installer custom actions - host contract headers
The C++ headers of the contract between an installer engine and the action
libraries of the installer-actions package (the action context, the feature
tree and the earlier product interfaces), and a CMake package:
find_package(InstallerActions) gives the targets actions::host,
actions::vantorel and actions::cobrinth.")

set(CPACK_DEBIAN_ACTIONHOST_PACKAGE_NAME actionhost)
set(CPACK_DEBIAN_ACTIONHOST_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_ACTIONHOST_PACKAGE_DEPENDS "installer-actions (= ${debian_version})")
set(CPACK_COMPONENT_ACTIONHOST_DESCRIPTION "run and test installer custom actions from scenario files
actionhost runs the installer custom actions of the installer-actions
package on a simulated host described by a scenario file (parameters,
properties, feature tree, disk costs, drives, registry, host faults), shows
what they did, and checks it against the scenario's expectations, without
building an installer. It comes with an example scenario for every action
and the action reference.")

# Per package: the copyright file and the changelog, compressed as Debian
# wants them (gzip -9n: no name, no time stamp).
set(package_doc ${PROJECT_BINARY_DIR}/package-doc)
file(MAKE_DIRECTORY ${package_doc})
foreach(pair "runtime;installer-actions" "dev;installer-actions-dev" "actionhost;actionhost")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  install(FILES ${package_doc}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
    COMPONENT ${component})
endforeach()
install(FILES docs/actions.md README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/actionhost COMPONENT actionhost)
install(FILES ${package_doc}/actionhost.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT actionhost)

find_program(GZIP gzip REQUIRED)
foreach(pair "packaging/changelog;changelog.Debian.gz" "docs/actionhost.1;actionhost.1.gz")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${package_doc}/${target}
    COMMAND ${GZIP} -9n -c ${PROJECT_SOURCE_DIR}/${source} > ${package_doc}/${target}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
  list(APPEND package_doc_files ${package_doc}/${target})
endforeach()
add_custom_target(package_doc ALL DEPENDS ${package_doc_files})
