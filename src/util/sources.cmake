# Sources of src/util
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Number.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpperCase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Encoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BulkAllocator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Filekind.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ini.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Savefile.cpp
)
