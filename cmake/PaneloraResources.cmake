# Copies resources/ to the resource root beside the programs at every build,
# so that edits to resource files show up without reconfiguring.
add_custom_target(panelora_resources ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PANELORA_RESOURCE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources ${PANELORA_RESOURCE_DIR}
  COMMENT "Copying the resource root"
  VERBATIM)
