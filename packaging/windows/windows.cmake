# windows.cmake - what the Windows build adds to the Linux one: the compiler's runtime linked in,
# the icon resource and a program without a console. Included by the top CMakeLists.txt.

target_link_libraries(hollowpikes PUBLIC winmm)  # timeBeginPeriod, for frame-accurate sleeps

# No compiler runtime DLL beside the game: libgcc, libstdc++ and winpthread go into each program.
add_link_options(-static-libgcc -static-libstdc++
  -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic)

# The executable's icon is resource 101, made from the window icon's picture.
find_program(HP_CONVERT convert REQUIRED)
set(HP_ICON ${CMAKE_BINARY_DIR}/hollow-pikes.ico)
add_custom_command(OUTPUT ${HP_ICON}
  COMMAND ${HP_CONVERT} ${CMAKE_SOURCE_DIR}/data/icon.png -define icon:auto-resize=256,64,48,32,16 ${HP_ICON}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/icon.png
  COMMENT "Icon resource from data/icon.png")
configure_file(${CMAKE_CURRENT_LIST_DIR}/hollow-pikes.rc.in ${CMAKE_BINARY_DIR}/hollow-pikes.rc @ONLY)

function(HpWindowsGame target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/hollow-pikes.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/hollow-pikes.rc PROPERTIES OBJECT_DEPENDS ${HP_ICON})
  target_link_options(${target} PRIVATE -mwindows)  # a GUI program: no console window opens
endfunction()
