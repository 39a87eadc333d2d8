# Sources of src/eval
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Evalexpr.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Evalline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Evalfiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Evalvars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Evaluator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Evalflow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Evalpolar.cpp
)
