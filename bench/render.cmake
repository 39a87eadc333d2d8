# The drawing benchmark: shapes, full redraw on a QPainter surface, cursor steps.
add_executable(velmora_render_bench ${CMAKE_CURRENT_LIST_DIR}/render_bench.cpp)
target_include_directories(velmora_render_bench PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(velmora_render_bench PRIVATE velmora_core velmora_qtsurface velmora_program_generator)
