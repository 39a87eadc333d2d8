# Sources of src/render: the tool-path drawing over the block store and the canvas.
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Toolpath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Moveshape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stepdraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Toolcentre.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Blockinfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Movepick.cpp
)
