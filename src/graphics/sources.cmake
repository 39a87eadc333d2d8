# Sources of src/graphics
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Math_.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Gpoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Gline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Gcircle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Kcanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingSurface.cpp
)
