# velmora-cli render, checked on the pixels of its PNG, its trace and its exit codes. The checker uses QImage,
# so it is an executable of its own (core_tests links no Qt).
add_executable(render_check ${CMAKE_CURRENT_LIST_DIR}/pictures/check_render.cpp)
target_link_libraries(render_check PRIVATE Qt6::Gui)
add_test(NAME render_pixels
         COMMAND render_check $<TARGET_FILE:velmora-cli> ${CMAKE_CURRENT_LIST_DIR}/pictures/sample.nc
                 ${CMAKE_CURRENT_BINARY_DIR}/render_check_output)

# The QPainter surface on its own.
add_executable(surface_check ${CMAKE_CURRENT_LIST_DIR}/pictures/surface_check.cpp)
target_link_libraries(surface_check PRIVATE velmora_qtsurface)
add_test(NAME qpainter_surface COMMAND surface_check)
