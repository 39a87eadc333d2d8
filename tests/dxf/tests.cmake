# DXF export through velmora-cli, checked with Debian's ezdxf (the system interpreter has it, not a
# per-user one), and the read-only folder test run as an ordinary user when the tests run as root.
set(velmora_dxf_check ${CMAKE_CURRENT_LIST_DIR}/check_dxf.py)

add_test(NAME dxf_examples_open_in_ezdxf
  COMMAND /usr/bin/python3 ${velmora_dxf_check} examples $<TARGET_FILE:velmora-cli> ${PROJECT_SOURCE_DIR}/examples)
set_tests_properties(dxf_examples_open_in_ezdxf PROPERTIES SKIP_RETURN_CODE 77)

add_test(NAME dxf_cli_location_backups_and_failures
  COMMAND /usr/bin/python3 ${velmora_dxf_check} cli $<TARGET_FILE:velmora-cli> ${PROJECT_SOURCE_DIR}/examples)

# Root writes into read-only folders, so the test would only skip; as "nobody" it runs for real.
add_test(NAME dxf_read_only_folder_as_ordinary_user
  COMMAND sh -c "if [ \"$(id -u)\" = 0 ] && command -v setpriv >/dev/null; then \
exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$0\" --gtest_filter=Files.ReadOnlyFolderKeepsTheOriginal; \
else exec \"$0\" --gtest_filter=Files.ReadOnlyFolderKeepsTheOriginal; fi"
  $<TARGET_FILE:core_tests>)
set_tests_properties(dxf_read_only_folder_as_ordinary_user PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
