#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARGS...] - runs a Windows program of the build under Wine, in a Wine
# prefix of the build's own (made once, without installer dialogs), with the game's DLLs found.
set -euo pipefail
: "${HP_WINDOWS_PREFIX:?the dependencies prefix (scripts/windows sets it)}"
export WINEPREFIX=${HP_WINEPREFIX:-${TMPDIR:-/tmp}/hp-wine-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
bin=$HP_WINDOWS_PREFIX/bin
export WINEPATH="Z:${bin//\//\\}"  # Wine sees the Unix root as drive Z:
export SDL_JOYSTICK_RAWINPUT=0  # SDL's raw input finds no pads under Wine and slows start-up
# One prefix for many programs run side by side: the first one makes it, the others wait.
exec 9> "$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init > /dev/null 2>&1
  wineserver -w
fi
flock -u 9
exec wine "$@"
