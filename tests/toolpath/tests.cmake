# Command-line tests of the tool centre path: velmora-cli path against LinuxCNC's rs274 (skipped without it),
# and the golden corner cases of the intersection model.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME toolpath.rs274_compare
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/toolpath/rs274_compare.py
                   $<TARGET_FILE:velmora-cli> ${CMAKE_CURRENT_BINARY_DIR}/toolpath_rs274 200 17)
  set_tests_properties(toolpath.rs274_compare PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
