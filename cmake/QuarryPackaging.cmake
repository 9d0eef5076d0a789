# Install layout and Debian packages (CPack) for far2l.
#
# Two packages come out of one build:
#   quarry-far2l  the plugin, its help files and the Tools folder, where far2l
#                 looks for system plugins; Quarry finds the Oracle client at
#                 run time, so nothing Oracle is a dependency.
#   quarry-demo   the Oracle client stand-in with its embedded demo database
#                 and tools under a private prefix, and the quarry-demo command.
# `cpack -G DEB` in the build folder (or scripts/package.sh) builds both.

set(QUARRY_DEMO_PREFIX "lib/quarry-demo" CACHE STRING "Install folder of the demo's Oracle home, relative to the prefix")

# Help files and the tools folder sit beside the plugin module, where it looks
# for them.
install(FILES ${QUARRY_HELP_FILES} DESTINATION ${QUARRY_FAR2L_PLUGIN_DIR} COMPONENT plugin)
if(EXISTS ${PROJECT_SOURCE_DIR}/dist/Tools)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/dist/Tools DESTINATION ${QUARRY_FAR2L_PLUGIN_DIR} COMPONENT plugin)
endif()

# The demo's Oracle home: the stand-in library, the tool stand-ins that exist
# in this tree, an alias file, and the command that starts far2l on it.
if(TARGET ocisim)
  install(TARGETS ocisim LIBRARY DESTINATION ${QUARRY_DEMO_PREFIX}/oracle/lib COMPONENT demo)
  foreach(_tool sqlplus exp)
    if(TARGET ${_tool})
      install(TARGETS ${_tool} RUNTIME DESTINATION ${QUARRY_DEMO_PREFIX}/oracle/bin COMPONENT demo)
    endif()
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/dist/tnsnames.ora
          DESTINATION ${QUARRY_DEMO_PREFIX}/oracle/network/admin COMPONENT demo)
  configure_file(${PROJECT_SOURCE_DIR}/dist/quarry-demo.in ${CMAKE_BINARY_DIR}/quarry-demo @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/quarry-demo DESTINATION bin COMPONENT demo)
  install(FILES ${CMAKE_BINARY_DIR}/debian/quarry-demo.1.gz DESTINATION share/man/man1 COMPONENT demo)
endif()

# Debian wants its copyright file and a compressed changelog in each package's
# documentation folder.
set(_quarry_changelog_gz ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(OUTPUT ${_quarry_changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/dist/debian/changelog > ${_quarry_changelog_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/dist/debian/changelog
  VERBATIM)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/quarry-demo.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/dist/quarry-demo.1 > ${CMAKE_BINARY_DIR}/debian/quarry-demo.1.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/dist/quarry-demo.1
  VERBATIM)
add_custom_target(quarry_debian_docs ALL DEPENDS ${_quarry_changelog_gz} ${CMAKE_BINARY_DIR}/debian/quarry-demo.1.gz)
foreach(_component plugin demo)
  if(_component STREQUAL "plugin")
    set(_package quarry-far2l)
  else()
    set(_package quarry-demo)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/dist/debian/copyright ${_quarry_changelog_gz}
          DESTINATION share/doc/${_package} COMPONENT ${_component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarry)
set(CPACK_PACKAGE_VENDOR "Quarry developers")
set(QUARRY_PACKAGE_MAINTAINER "Quarry developers <quarry@example.org>" CACHE STRING "Maintainer field of the Debian packages")
set(CPACK_PACKAGE_CONTACT "${QUARRY_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL plugin demo)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME quarry-far2l)
# The startup record layouts Quarry knows are those of far2l 2.6 and later.
set(CPACK_DEBIAN_PLUGIN_PACKAGE_DEPENDS "far2l (>= 2.6~)")
set(CPACK_COMPONENT_PLUGIN_DESCRIPTION "Oracle database browser plugin for far2l
Quarry shows an Oracle database as a file system in a far2l panel: browse
every kind of schema object, view and edit source (saving recompiles it),
run SQL from the command line, drop objects, kill sessions, copy table data.
It loads the Oracle client (Instant Client or a full client) at run time.")
set(CPACK_DEBIAN_DEMO_PACKAGE_NAME quarry-demo)
set(CPACK_DEBIAN_DEMO_PACKAGE_DEPENDS "quarry-far2l (= ${PROJECT_VERSION}-1), far2l (>= 2.6~)")
set(CPACK_COMPONENT_DEMO_DESCRIPTION "demo database for the Quarry far2l plugin
A stand-in for the Oracle client with an embedded demo database, and the
quarry-demo command that starts far2l with Quarry on it, so Quarry can be
tried without an Oracle server.")
include(CPack)
