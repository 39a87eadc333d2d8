# Command-line tests of the tool centre path: velmora-cli path against LinuxCNC's rs274 (skipped without it),
# and the golden corner cases of the intersection model.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME toolpath.rs274_compare
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/toolpath/rs274_compare.py
                   $<TARGET_FILE:velmora-cli> ${CMAKE_CURRENT_BINARY_DIR}/toolpath_rs274 200 17)
  set_tests_properties(toolpath.rs274_compare PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 RESOURCE_LOCK rs274)
endif()

# One test per folder of tests/toolpath/fanuc: the intersection corners with points worked out by hand.
file(GLOB fanuc_cases LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/toolpath/fanuc/*)
foreach(case_dir IN LISTS fanuc_cases)
  if(Python3_FOUND AND IS_DIRECTORY ${case_dir})
    get_filename_component(case_name ${case_dir} NAME)
    add_test(NAME toolpath.fanuc.${case_name}
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/toolpath/path_golden.py
                     $<TARGET_FILE:velmora-cli> fanuc ${case_dir})
  endif()
endforeach()

# The layer ToolCentre of velmora-cli dxf --tool-centre, read back with Debian's ezdxf.
foreach(sample IN ITEMS contour xz_plane z_changes)
  add_test(NAME toolpath.dxf_tool_centre.${sample}
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/toolpath/dxf_tool_centre.py $<TARGET_FILE:velmora-cli>
                   ${CMAKE_CURRENT_SOURCE_DIR}/toolpath/samples/${sample}.ngc
                   ${CMAKE_CURRENT_BINARY_DIR}/toolpath_dxf/${sample})
endforeach()
