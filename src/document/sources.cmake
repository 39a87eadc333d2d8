# Sources of src/document: the program document between the window and the core.
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ncdocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncdocumentview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncdocumentrun.cpp
)
