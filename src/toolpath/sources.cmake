# Sources of src/toolpath: the tool centre path under cutter radius compensation.
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Compgeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Compradius.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Compblocks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Compcorner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Compensation.cpp
)
