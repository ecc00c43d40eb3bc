#!/usr/bin/env bash
# balance_test.sh LINUX_GAME WINDOWS_GAME - the balance lab's report for one seed is the same,
# byte for byte, from the Linux build and from the Windows build under Wine: the two builds play
# every match alike, which online play between them needs.
set -euo pipefail
linux=${1:?usage: balance_test.sh LINUX_GAME WINDOWS_GAME} windows=${2:?}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../sanitizers.sh"  # the Linux build is the tests' sanitized one, whoever runs this
work=$(mktemp -d /tmp/hp-winbal.XXXXXX)
trap 'rm -rf "$work"' EXIT
(cd "$(dirname "$linux")" && ALSOFT_DRIVERS=null "$linux" --balance 1 --seed 7) > "$work/linux.txt"
# From another folder: the Windows game finds its data beside itself.
(cd "$work" && ALSOFT_DRIVERS=null "$here/wine-run.sh" "$windows" --balance 1 --seed 7) \
  | tr -d '\r' > "$work/windows.txt"
[ -s "$work/linux.txt" ] || { echo "the Linux build printed no report"; exit 1; }
if ! diff -u "$work/linux.txt" "$work/windows.txt"; then
  echo "the Windows build's report differs from the Linux build's"
  exit 1
fi
echo "identical reports: $(wc -l < "$work/linux.txt") lines"
