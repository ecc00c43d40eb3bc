# Cross-builds the Windows build's libraries with mingw-w64 from Debian's source packages into a
# prefix cached outside the clone. Sourced by scripts/windows; hp_windows_deps prints the prefix.
# shellcheck shell=bash

HP_WD_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/deps.sh
. "$HP_WD_SCRIPTS/deps.sh"

# Bump when the recipe below changes, so an old cache is not taken for the new one.
HP_WD_RECIPE=r1
HP_WD_HOST=x86_64-w64-mingw32
HP_WD_MIRROR=http://deb.debian.org/debian
HP_WD_KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
# Debian source packages: name, version, suite. Bookworm's openal-soft and enet cannot be
# fetched whole from the mirror, so those two come from trixie.
HP_WD_SOURCES=(
  "libsdl2 2.26.5+dfsg-1 bookworm"
  "openal-soft 1:1.24.2-1 trixie"
  "glew 2.2.0-4 bookworm"
  "enet 1.3.18+ds-1 trixie"
  "imgui 1.86+ds-1 bookworm"
)
# The stb libraries the game includes; libstb.a carries their implementations.
HP_WD_STB_LIBS=(image rect_pack truetype)
HP_WD_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev mingw-w64-common cmake make pkg-config dpkg-dev xz-utils
  debian-archive-keyring googletest libstb-dev)
# Running the tests: Wine (64-bit only) with the X libraries its display driver loads at run time,
# which Debian lists only as recommended; the Linux tests' tools (Xvfb, xdotool, ImageMagick).
HP_WD_TEST_PACKAGES=(wine wine64 libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1
  libxrandr2 libxrender1 libxxf86vm1 libgl1 libgl1-mesa-dri "${HP_TEST_PACKAGES[@]}")

# Upstream part of a Debian version: no epoch, no revision, no +dfsg/+ds.
hp_wd_upstream() {
  local v=${1#*:}
  v=${v%-*}
  echo "${v%%+*}"
}

hp_wd_installed_version() {
  dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo none
}

# The cache key names every version that goes into the prefix, and the recipe revision.
hp_wd_key() {
  local key="" s name ver
  local -A short=([libsdl2]=sdl2 [openal-soft]=openal [glew]=glew [enet]=enet [imgui]=imgui)
  for s in "${HP_WD_SOURCES[@]}"; do
    read -r name ver _ <<<"$s"
    key+="${short[$name]}-$(hp_wd_upstream "$ver")_"
  done
  key+="gtest-$(hp_wd_upstream "$(hp_wd_installed_version googletest)")_"
  key+="stb-$(hp_wd_installed_version libstb-dev | tr -c 'A-Za-z0-9.\n' '_')_$HP_WD_RECIPE"
  echo "$key"
}

# Prints the finished prefix, building it first when the cache does not hold it.
hp_windows_deps() {
  local cache=${HP_WINDOWS_CACHE:-/var/cache/hollow-pikes} key
  key=$(hp_wd_key)
  local final="$cache/windows-deps-$key"
  [ -f "$final/complete" ] && { echo "$final"; return 0; }
  local log="$final.log" rc=0
  mkdir -p "$cache" || return 1
  hp_install_missing "${HP_WD_PACKAGES[@]}" >&2 || { echo "[windows] installing packages failed" >&2; return 1; }
  echo "[windows] building the Windows libraries once into $final (log: $log)" >&2
  # A fresh bash, so that errexit holds in the build even when our caller tests our status.
  bash -euo pipefail -c '. "$0"; hp_wd_locked_build "$1" "$2"' "$HP_WD_SCRIPTS/windows-deps.sh" \
    "$final" "$cache" >"$log" 2>&1 || rc=$?
  if [ "$rc" != 0 ]; then
    echo "[windows] $(tail -n 1 "$log.step" 2>/dev/null || echo build) failed, see $log" >&2
    return 1
  fi
  rm -f "$log.step"
  echo "$final"
}

# One build at a time per cache; a build that finished while we waited is taken as it is.
hp_wd_locked_build() {
  exec 9>"$2/windows-deps.lock"
  flock 9
  if [ -f "$1/complete" ]; then return 0; fi
  hp_wd_build "$1" "$2"
}

# The whole build, in a temporary folder beside the cache entry; the prefix moves into place last.
hp_wd_build() {
  local final=$1 cache=$2
  rm -rf "$final" "$final".tmp.*
  local tmp
  tmp=$(mktemp -d "$final.tmp.XXXXXX")
  HP_WD_TMP=$tmp
  HP_WD_FINAL=$final
  HP_WD_ROOT=$tmp/stage$final
  HP_WD_JOBS=$(nproc)
  HP_WD_STEPFILE=$final.log.step
  mkdir -p "$HP_WD_ROOT"/{bin,lib/pkgconfig,include,licences} "$tmp/src" "$tmp/build"
  # Only the prefix's own .pc files may be seen: never the host's.
  export PKG_CONFIG_LIBDIR=$HP_WD_ROOT/lib/pkgconfig PKG_CONFIG_PATH=
  local step
  for step in toolchain fetch sdl2 openal glew enet stb imgui gtest licences; do
    echo "$step" >"$HP_WD_STEPFILE"
    echo "=== $step $(date -u +%T)"
    "hp_wd_$step"
  done
  date -u +%FT%TZ >"$HP_WD_ROOT/complete"
  mv "$HP_WD_ROOT" "$final"
  rm -rf "$tmp"
}

hp_wd_toolchain() {
  # Keep the temporary build path out of the objects (file names in asserts).
  HP_WD_MAP="-ffile-prefix-map=$HP_WD_TMP/="
  HP_WD_TOOLCHAIN=$HP_WD_TMP/toolchain-$HP_WD_HOST.cmake
  cat >"$HP_WD_TOOLCHAIN" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $HP_WD_HOST-gcc-posix)
set(CMAKE_CXX_COMPILER $HP_WD_HOST-g++-posix)
set(CMAKE_RC_COMPILER $HP_WD_HOST-windres)
set(CMAKE_C_FLAGS_INIT "$HP_WD_MAP")
set(CMAKE_CXX_FLAGS_INIT "$HP_WD_MAP")
set(CMAKE_FIND_ROOT_PATH /usr/$HP_WD_HOST)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# apt-get with a sources list and lists folder of our own: the machine's apt setup is untouched.
hp_wd_apt() {
  local a=$HP_WD_TMP/apt
  apt-get -o Dir::Etc::SourceList="$a/sources.list" -o Dir::Etc::SourceParts=/dev/null \
    -o Dir::State::Lists="$a/lists" -o Dir::Cache="$a/cache" "$@"
}

hp_wd_fetch() {
  local a=$HP_WD_TMP/apt s name ver suite dsc
  mkdir -p "$a/lists/partial" "$a/cache/archives/partial"
  for suite in bookworm trixie; do
    echo "deb-src [signed-by=$HP_WD_KEYRING] $HP_WD_MIRROR $suite main"
  done >"$a/sources.list"
  hp_wd_apt update
  cd "$HP_WD_TMP/src" || return 1
  : >versions.txt
  for s in "${HP_WD_SOURCES[@]}"; do
    read -r name ver suite <<<"$s"
    if hp_wd_apt source --download-only "$name=$ver"; then
      dsc=$(ls "${name}_${ver#*:}.dsc")
      dpkg-source -x "$dsc" "$name"
      echo "$name $ver ($suite): Debian source package, unpacked with Debian's patches" >>versions.txt
    else
      # The mirror lacks this .dsc: take the orig tarball, checked against the signed Sources index.
      hp_wd_apt source --download-only --tar-only "$name=$ver"
      mkdir "$name"
      tar -xf "$(ls "${name}_$(hp_wd_upstream "$ver")"*.orig.tar.*)" -C "$name" --strip-components=1
      echo "$name $ver ($suite): orig tarball only (no .dsc on the mirror), no Debian patches" >>versions.txt
    fi
  done
}

# Configures, builds and installs one CMake project into the prefix.
hp_wd_cmake() {
  local name=$1 src=$2
  shift 2
  cmake -S "$src" -B "$HP_WD_TMP/build/$name" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$HP_WD_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$HP_WD_FINAL" "$@"
  cmake --build "$HP_WD_TMP/build/$name" -j"$HP_WD_JOBS"
  DESTDIR=$HP_WD_TMP/stage cmake --install "$HP_WD_TMP/build/$name"
}

# sdl2.pc as on Linux: the game brings its own main (SDL_MAIN_HANDLED), so no SDL2main, no
# -Dmain=SDL_main and no -mwindows, which would break a plain int main().
hp_wd_sdl2() {
  hp_wd_cmake sdl2 "$HP_WD_TMP/src/libsdl2" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF \
    -DCMAKE_SHARED_LINKER_FLAGS="-static-libgcc"
  sed -i -e '/^Cflags:/ s/ *-Dmain=SDL_main//' -e '/^Libs/ s/ *-lmingw32 -mwindows -lSDL2main//' \
    "$HP_WD_ROOT/lib/pkgconfig/sdl2.pc"
  "$HP_WD_HOST-strip" --strip-unneeded "$HP_WD_ROOT/bin/SDL2.dll"
}

# Only Windows' own audio backends; the runtimes linked in so that only system DLLs are imported.
hp_wd_openal() {
  hp_wd_cmake openal "$HP_WD_TMP/src/openal-soft" -DALSOFT_UTILS=OFF -DALSOFT_EXAMPLES=OFF \
    -DALSOFT_TESTS=OFF -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF \
    -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF \
    -DALSOFT_UPDATE_BUILD_VERSION=OFF -DALSOFT_BUILD_IMPORT_LIB=OFF \
    -DALSOFT_BACKEND_PIPEWIRE=OFF -DALSOFT_BACKEND_PULSEAUDIO=OFF -DALSOFT_BACKEND_JACK=OFF \
    -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_SDL2=OFF -DALSOFT_BACKEND_SDL3=OFF \
    -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON -DALSOFT_STATIC_WINPTHREAD=ON
  "$HP_WD_HOST-strip" --strip-unneeded "$HP_WD_ROOT/bin/OpenAL32.dll"
}

# Compiles C or C++ sources into one static library of the prefix.
hp_wd_static_lib() {
  local lib=$1 cc=$2 flags=$3 f objs=()
  shift 3
  local out=$HP_WD_TMP/build/$lib
  mkdir -p "$out"
  for f in "$@"; do
    # shellcheck disable=SC2086 # flags is a list of words
    "$cc" -O2 -Wall "$HP_WD_MAP" $flags -c "$f" -o "$out/$(basename "${f%.*}").o"
    objs+=("$out/$(basename "${f%.*}").o")
  done
  "$HP_WD_HOST-ar" rcs "$HP_WD_ROOT/lib/lib$lib.a" "${objs[@]}"
}

# Writes a .pc file with the prefix's final absolute path.
hp_wd_pc() {
  local file=$1 name=$2 version=$3 cflags=$4 libs=$5 requires=${6:-}
  {
    echo "prefix=$HP_WD_FINAL"
    echo "libdir=\${prefix}/lib"
    echo "includedir=\${prefix}/include"
    echo
    echo "Name: $name"
    echo "Description: $name for $HP_WD_HOST"
    echo "Version: $version"
    [ -n "$requires" ] && echo "Requires: $requires"
    echo "Cflags: $cflags"
    echo "Libs: $libs"
  } >"$HP_WD_ROOT/lib/pkgconfig/$file.pc"
}

hp_wd_glew() {
  local src=$HP_WD_TMP/src/glew
  hp_wd_static_lib glew32 "$HP_WD_HOST-gcc-posix" "-DGLEW_STATIC -I$src/include" "$src/src/glew.c"
  mkdir -p "$HP_WD_ROOT/include/GL"
  cp "$src"/include/GL/{glew,wglew}.h "$HP_WD_ROOT/include/GL/"
  hp_wd_pc glew glew 2.2.0 "-I\${includedir} -DGLEW_STATIC" "-L\${libdir} -lglew32 -lopengl32"
}

hp_wd_enet() {
  local src=$HP_WD_TMP/src/enet f files=()
  for f in callbacks compress host list packet peer protocol win32; do files+=("$src/$f.c"); done
  hp_wd_static_lib enet "$HP_WD_HOST-gcc-posix" "-I$src/include" "${files[@]}"
  cp -r "$src/include/enet" "$HP_WD_ROOT/include/"
  hp_wd_pc libenet libenet 1.3.18 "-I\${includedir}" "-L\${libdir} -lenet -lws2_32 -lwinmm"
}

# libstb.a from the installed libstb-dev's headers, as Debian's libstb holds the implementations.
hp_wd_stb() {
  local c=$HP_WD_TMP/build/stb.c l
  cp -r /usr/include/stb "$HP_WD_ROOT/include/stb"
  for l in "${HP_WD_STB_LIBS[@]}"; do
    echo "#define STB_${l^^}_IMPLEMENTATION"
    echo "#include <stb_$l.h>"
  done >"$c"
  hp_wd_static_lib stb "$HP_WD_HOST-gcc-posix" "-I$HP_WD_ROOT/include/stb" "$c"
  hp_wd_pc stb stb "$(hp_wd_installed_version libstb-dev)" "-I\${includedir}/stb" "-L\${libdir} -lstb"
}

# Built as Debian's libimgui: its stb code comes from libstb, the opengl3 backend with its own loader.
hp_wd_imgui() {
  local src=$HP_WD_TMP/src/imgui inc=$HP_WD_ROOT/include/imgui f files=()
  for f in imgui imgui_draw imgui_tables imgui_widgets imgui_demo backends/imgui_impl_opengl3 \
    misc/cpp/imgui_stdlib; do files+=("$src/$f.cpp"); done
  hp_wd_static_lib imgui "$HP_WD_HOST-g++-posix" "-I$src -I$HP_WD_ROOT/include
    -DIMGUI_DISABLE_STB_RECT_PACK_IMPLEMENTATION -DIMGUI_STB_RECT_PACK_FILENAME=<stb/stb_rect_pack.h>
    -DIMGUI_DISABLE_STB_TRUETYPE_IMPLEMENTATION -DIMGUI_STB_TRUETYPE_FILENAME=<stb/stb_truetype.h>" \
    "${files[@]}"
  mkdir -p "$inc/backends"
  cp "$src"/*.h "$src/misc/cpp/imgui_stdlib.h" "$inc/"
  cp "$src"/backends/imgui_impl_opengl3.h "$src"/backends/imgui_impl_opengl3_loader.h "$inc/backends/"
  hp_wd_pc imgui imgui "$(hp_wd_upstream "$(hp_wd_version imgui)")" "-I\${includedir}/imgui" \
    "-L\${libdir} -limgui -limm32" stb
}

hp_wd_gtest() {
  hp_wd_cmake gtest /usr/src/googletest -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF
}

# The version of a source package as listed in HP_WD_SOURCES.
hp_wd_version() {
  local s name ver
  for s in "${HP_WD_SOURCES[@]}"; do
    read -r name ver _ <<<"$s"
    [ "$name" = "$1" ] && echo "$ver"
  done
  return 0
}

# Every library's licence, and where each came from.
hp_wd_licences() {
  local l=$HP_WD_ROOT/licences src=$HP_WD_TMP/src n f
  for n in libsdl2 openal-soft glew enet imgui; do
    mkdir -p "$l/$n"
    for f in debian/copyright LICENSE.txt LICENSE COPYING BSD-3Clause LICENSE-pffft; do
      [ -f "$src/$n/$f" ] && cp "$src/$n/$f" "$l/$n/${f//\//-}"
    done
  done
  mkdir -p "$l/stb" "$l/googletest" "$l/mingw-w64" "$l/gcc-runtime"
  cp /usr/share/doc/libstb-dev/copyright "$l/stb/debian-copyright"
  cp /usr/share/doc/googletest/copyright "$l/googletest/debian-copyright"
  cp /usr/src/googletest/googletest/LICENSE "$l/googletest/LICENSE" 2>/dev/null || true
  cp /usr/share/doc/mingw-w64-common/copyright "$l/mingw-w64/debian-copyright"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$l/gcc-runtime/debian-copyright"
  {
    cat "$src/versions.txt"
    echo "stb $(hp_wd_installed_version libstb-dev) (installed libstb-dev headers): $(printf 'stb_%s ' "${HP_WD_STB_LIBS[@]}")"
    echo "googletest $(hp_wd_installed_version googletest) (installed /usr/src/googletest)"
    echo "mingw-w64 $(hp_wd_installed_version mingw-w64-x86-64-dev), gcc $(hp_wd_installed_version gcc-mingw-w64-x86-64-posix) (installed cross compilers)"
  } >"$l/versions.txt"
}
