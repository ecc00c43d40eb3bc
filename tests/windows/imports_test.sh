#!/usr/bin/env bash
# imports_test.sh RELEASE_FOLDER - every DLL that the release's executable and DLLs import is a
# Windows system DLL or ships beside them, so the game runs on a bare Windows 10 or 11; and the
# executable opens no console.
set -euo pipefail
dir=${1:?usage: imports_test.sh RELEASE_FOLDER}
# Windows' own DLLs that SDL2, OpenAL Soft and the game may ask for.
system=" advapi32.dll avrt.dll cfgmgr32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll"
system+=" oleaut32.dll opengl32.dll setupapi.dll shell32.dll user32.dll version.dll winmm.dll ws2_32.dll "
shopt -s nullglob nocaseglob
status=0
for bin in "$dir"/*.exe "$dir"/*.dll; do
  imports=$(x86_64-w64-mingw32-objdump -p "$bin" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$imports" ] || { echo "$(basename "$bin"): no import table read"; status=1; continue; }
  echo "$(basename "$bin"): $(echo $imports)"
  for dll in $imports; do
    if [[ "$system" != *" $dll "* ]] && ! ls "$dir" | tr 'A-Z' 'a-z' | grep -qxF "$dll"; then
      echo "  $dll is neither Windows' own nor in the release folder"
      status=1
    fi
  done
done
[ -e "$dir/hollow-pikes.exe" ] || { echo "no hollow-pikes.exe in $dir"; exit 1; }
# A GUI program: double-clicked, it opens no console window beside the game.
headers=$(x86_64-w64-mingw32-objdump -p "$dir/hollow-pikes.exe")
grep -q '^Subsystem.*(Windows GUI)' <<< "$headers" \
  || { echo "hollow-pikes.exe is not a Windows GUI program"; status=1; }
exit $status
