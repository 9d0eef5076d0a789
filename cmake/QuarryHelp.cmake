# The help files go beside the plugin module, where the plugin asks the host
# to open them; the manual's contents page carries the version.
set(_help_out ${CMAKE_CURRENT_BINARY_DIR})
set(QUARRY_HELP_FILES ${_help_out}/Quarry.hlf ${_help_out}/zoZaze.hlf)
add_custom_command(OUTPUT ${QUARRY_HELP_FILES}
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/help/Quarry.hlf -DOUT=${_help_out}/Quarry.hlf
          -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/help_version.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/help/zoZaze.hlf ${_help_out}/zoZaze.hlf
  DEPENDS ${PROJECT_SOURCE_DIR}/help/Quarry.hlf ${PROJECT_SOURCE_DIR}/help/zoZaze.hlf
          ${PROJECT_SOURCE_DIR}/cmake/help_version.cmake
  VERBATIM)
add_custom_target(quarry_help ALL DEPENDS ${QUARRY_HELP_FILES})
add_dependencies(quarry_plugin quarry_help)
set(QUARRY_HELP_FILES ${QUARRY_HELP_FILES} PARENT_SCOPE)
