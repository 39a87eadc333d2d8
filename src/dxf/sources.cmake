# Sources of src/dxf
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Nctodxf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DxfExport.cpp
)
