# The layers, lowest first; each folder is one library, and tests/ and bench/
# mirror them. PANELORA_LAYERS limits a build to some of them.
set(PANELORA_ALL_LAYERS foundation graphics text filters model storage export ui cli app)

# Adds the sub-folder of the current folder for every layer that has one.
function(panelora_add_layer_folders)
  foreach(layer ${PANELORA_ALL_LAYERS})
    if(PANELORA_LAYERS AND NOT layer IN_LIST PANELORA_LAYERS)
      continue()
    endif()
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/CMakeLists.txt)
      add_subdirectory(${layer})
    endif()
  endforeach()
endfunction()
