# Tests that are scripts rather than GoogleTest programs: the data files and their sources.
add_test(NAME assets_stale COMMAND bash ${CMAKE_SOURCE_DIR}/tests/assets_stale_test.sh)
set_tests_properties(assets_stale PROPERTIES TIMEOUT 900)
add_test(NAME assets_check COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/assets_check.py)
set_tests_properties(assets_check PROPERTIES TIMEOUT 300)
# The real program under its own X server and window manager, driven by X key events; its
# screenshots are kept in e2e-artifacts/ of the build tree. Exit 77: a check could not run.
add_test(NAME e2e COMMAND bash ${CMAKE_SOURCE_DIR}/tests/display.sh 1920x1080
         bash ${CMAKE_SOURCE_DIR}/tests/e2e/e2e_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e PROPERTIES TIMEOUT 1200 SKIP_RETURN_CODE 77)
# scripts/play without a display says so and stops before it builds anything.
add_test(NAME play_no_display COMMAND env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER
         bash ${CMAKE_SOURCE_DIR}/scripts/play)
set_tests_properties(play_no_display PROPERTIES TIMEOUT 30 PASS_REGULAR_EXPRESSION
  "^\\[play\\] no display could be opened \\(tried X11 with DISPLAY unset, Wayland with WAYLAND_DISPLAY unset\\)\n$")
# The balance lab with one match per pair of heroes, twice with one seed: the same report.
add_test(NAME balance COMMAND bash ${CMAKE_SOURCE_DIR}/tests/balance_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(balance PROPERTIES TIMEOUT 1200)
