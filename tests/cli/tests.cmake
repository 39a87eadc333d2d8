# Command-line tests of velmora-cli dump/check/stats: golden cases, inputs that are not ordinary programs, the
# problem lines and exit statuses of check, and the figures of stats.

# One test per folder of tests/golden: `velmora-cli dump input.nc` must print expected.jsonl exactly.
file(GLOB golden_cases LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/golden/*)
foreach(case_dir IN LISTS golden_cases)
  if(IS_DIRECTORY ${case_dir} AND EXISTS ${case_dir}/input.nc)
    get_filename_component(case_name ${case_dir} NAME)
    add_test(NAME golden.${case_name}
             COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli/golden_check.sh $<TARGET_FILE:velmora-cli> ${case_dir}
                     ${CMAKE_CURRENT_BINARY_DIR}/golden/${case_name})
  endif()
endforeach()

foreach(case IN ITEMS missing folder usage empty binary long-line invalid-sjis hostile render-alone)
  add_test(NAME cli.bad_input.${case}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli/bad_input_check.sh $<TARGET_FILE:velmora-cli>
                   ${CMAKE_CURRENT_BINARY_DIR}/cli_bad_input/${case} ${case})
  set_tests_properties(cli.bad_input.${case} PROPERTIES TIMEOUT 120)
endforeach()

foreach(case IN ITEMS text json statuses usage order profile rules sarif)
  add_test(NAME cli.check.${case}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli/check_output.sh $<TARGET_FILE:velmora-cli>
                   ${CMAKE_CURRENT_BINARY_DIR}/cli_check/${case} ${case})
endforeach()

foreach(case IN ITEMS figures rapid-rate tool-centre refused usage)
  add_test(NAME cli.stats.${case}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli/stats_output.sh $<TARGET_FILE:velmora-cli>
                   ${CMAKE_CURRENT_BINARY_DIR}/cli_stats/${case} ${case})
endforeach()

# Evaluated O-word programs against LinuxCNC's rs274 (skipped with a message where rs274 is missing).
find_package(Python3 COMPONENTS Interpreter QUIET)
if(Python3_FOUND)
  add_test(NAME cli.path.rs274
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/cli/rs274_compare.py $<TARGET_FILE:velmora-cli>
                   ${CMAKE_CURRENT_BINARY_DIR}/cli_rs274 12)
  # rs274 keeps its parameters in files of the working folder: one run at a time.
  set_tests_properties(cli.path.rs274 PROPERTIES TIMEOUT 300 RESOURCE_LOCK rs274)
endif()
