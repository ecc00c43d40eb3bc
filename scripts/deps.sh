# Installs the Debian packages the game needs that are missing. Sourced by scripts/play and
# scripts/test; pass the package names to hp_install_missing.
hp_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

hp_install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  hp_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive hp_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

HP_BUILD_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libglew-dev libopenal-dev libstb-dev
  libimgui-dev libgl1-mesa-dev libgl1-mesa-dri libenet-dev)
HP_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth openbox xdotool
  x11-utils imagemagick librsvg2-bin python3-numpy sox)
