# mingw-w64.cmake - the CMake toolchain for the Windows build on Debian: mingw-w64's posix
# compilers (std::thread), the dependencies' prefix, and Wine to run the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# HP_WINDOWS_PREFIX: the cross-built SDL2, OpenAL Soft, GLEW, ENet, ImGui, stb and GoogleTest.
if(NOT HP_WINDOWS_PREFIX)
  set(HP_WINDOWS_PREFIX $ENV{HP_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH ${HP_WINDOWS_PREFIX} /usr/x86_64-w64-mingw32)
set(CMAKE_PREFIX_PATH ${HP_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${HP_WINDOWS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The tests run under Wine through CTest (tests/windows/wine-run.sh gives each run a prefix of its own).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tests/windows/wine-run.sh)
