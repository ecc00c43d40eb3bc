# windows_tests.cmake - the Windows release's own tests, beside its GoogleTest programs under
# Wine: what the release imports, the same balance report as Linux's, the zip's game end to end.
# HP_LINUX_GAME: the Linux build's hollow-pikes, to compare against (scripts/test names it).
set(HP_LINUX_GAME "" CACHE FILEPATH "The Linux build's game, for the comparisons")
set(HP_RELEASE ${CMAKE_BINARY_DIR}/zip/hollow-pikes)
add_test(NAME windows_imports COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/imports_test.sh ${HP_RELEASE})
if(HP_LINUX_GAME)
  add_test(NAME windows_balance COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/balance_test.sh
           ${HP_LINUX_GAME} ${HP_RELEASE}/hollow-pikes.exe)
  add_test(NAME windows_e2e COMMAND bash ${CMAKE_SOURCE_DIR}/tests/display.sh 1920x1080
           bash ${CMAKE_CURRENT_LIST_DIR}/e2e_test.sh ${HP_LINUX_GAME} ${HP_RELEASE}/hollow-pikes.exe)
  set_tests_properties(windows_balance windows_e2e PROPERTIES TIMEOUT 1200)
endif()
# Every test here runs through tests/windows/wine-run.sh, which finds the game's DLLs by this.
get_property(HP_WINDOWS_TESTS DIRECTORY PROPERTY TESTS)
set_property(TEST ${HP_WINDOWS_TESTS} APPEND PROPERTY ENVIRONMENT HP_WINDOWS_PREFIX=${HP_WINDOWS_PREFIX})
