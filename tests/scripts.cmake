# Tests that are scripts rather than GoogleTest programs: the data files and their sources.
add_test(NAME assets_stale COMMAND bash ${CMAKE_SOURCE_DIR}/tests/assets_stale_test.sh)
set_tests_properties(assets_stale PROPERTIES TIMEOUT 900)
add_test(NAME assets_check COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/assets_check.py)
set_tests_properties(assets_check PROPERTIES TIMEOUT 300)
