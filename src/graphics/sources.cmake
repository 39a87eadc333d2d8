# Sources of src/graphics
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Math_.cpp
)
