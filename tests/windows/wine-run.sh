#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARGS...] - runs a Windows program of the build under Wine, in a Wine
# prefix of its own (a copy of one made once, without installer dialogs), with the game's DLLs found.
set -euo pipefail
: "${HP_WINDOWS_PREFIX:?the dependencies prefix (scripts/windows sets it)}"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
bin=$HP_WINDOWS_PREFIX/bin
export WINEPATH="Z:${bin//\//\\}"  # Wine sees the Unix root as drive Z:
export SDL_JOYSTICK_RAWINPUT=0  # SDL's raw input finds no pads under Wine and slows start-up

# The template, made by the first run; the others wait for it.
template=${TMPDIR:-/tmp}/hp-wine-$(id -u)
exec 9> "$template.lock"
flock 9
if [ ! -f "$template/.hp-ready" ]; then
  rm -rf "$template"
  WINEPREFIX=$template wineboot --init > /dev/null 2>&1
  # A crash prints its backtrace and ends the program, with no dialog waiting for a click.
  WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f > /dev/null
  WINEPREFIX=$template wineserver -w
  touch "$template/.hp-ready"
fi

# One wineserver per prefix, and Wine gives the focus across all its windows: a full-screen test
# window of one program would take it from another's, which the game answers by minimising. So
# each run has a prefix of its own, unless the caller names one (a second copy of the game that
# must meet the first one's mutex).
own=''
if [ -z "${HP_WINEPREFIX:-}" ]; then
  own=$(mktemp -d "${TMPDIR:-/tmp}/hp-wine-run.XXXXXX")
  HP_WINEPREFIX=$own/prefix
fi
[ -f "$HP_WINEPREFIX/.hp-ready" ] || cp -a "$template" "$HP_WINEPREFIX"
flock -u 9
exec 9>&-
export WINEPREFIX=$HP_WINEPREFIX
[ -n "$own" ] || exec wine "$@"

trap 'WINEPREFIX=$HP_WINEPREFIX timeout 20 wineserver -k 2> /dev/null; rm -rf "$own"' EXIT
wine "$@"  # its status is the script's; the trap keeps it
