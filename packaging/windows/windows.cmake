# windows.cmake - what the Windows build adds to the Linux one: the compiler's runtime linked in,
# the icon resource and a program without a console. Included by the top CMakeLists.txt.

target_link_libraries(hollowpikes PUBLIC winmm)  # timeBeginPeriod, for frame-accurate sleeps

# No compiler runtime DLL beside the game: libgcc, libstdc++ and winpthread go into each program.
# The libraries linked by path (SDL2's and OpenAL's import libraries) stay DLLs.
add_link_options(-static)

# main() is the game's own and stays main (SDL is told so in keos_windows.cpp): neither SDL's
# renaming of it nor its WinMain, which would call an SDL_main.
foreach(property INTERFACE_LINK_LIBRARIES INTERFACE_COMPILE_OPTIONS)
  get_target_property(hp_sdl PkgConfig::SDL2 ${property})
  if(hp_sdl)
    list(FILTER hp_sdl EXCLUDE REGEX "SDL2main|^-Dmain=SDL_main$")
    set_target_properties(PkgConfig::SDL2 PROPERTIES ${property} "${hp_sdl}")
  endif()
endforeach()

# The executable's icon is resource 101, made from the window icon's picture.
find_program(HP_CONVERT convert REQUIRED)
set(HP_ICON ${CMAKE_BINARY_DIR}/hollow-pikes.ico)
add_custom_command(OUTPUT ${HP_ICON}
  COMMAND ${HP_CONVERT} ${CMAKE_SOURCE_DIR}/data/icon.png -define icon:auto-resize=256,64,48,32,16 ${HP_ICON}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/icon.png
  COMMENT "Icon resource from data/icon.png")
add_custom_target(hp_icon DEPENDS ${HP_ICON})
configure_file(${CMAKE_CURRENT_LIST_DIR}/hollow-pikes.rc.in ${CMAKE_BINARY_DIR}/hollow-pikes.rc @ONLY)

function(HpWindowsResources target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/hollow-pikes.rc)
  add_dependencies(${target} hp_icon)  # the icon is made before the resource is compiled
endfunction()

function(HpWindowsGame target)
  HpWindowsResources(${target})
  target_link_options(${target} PRIVATE -mwindows)  # a GUI program: no console window opens
endfunction()
