# The window benchmark: a 1M-line program loaded into the real window (responsiveness, abort latency) and
# arrow-key steps on it. Run offscreen: QT_QPA_PLATFORM=offscreen build/bin/velmora_window_bench [LINES]
if(TARGET velmora_app)
  add_executable(velmora_window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
  target_link_libraries(velmora_window_bench PRIVATE velmora_app velmora_program_generator)
endif()
