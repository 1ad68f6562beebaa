#!/bin/sh
# Builds the installer from an installed program set:
#   installer/build.sh [win32|win64] [SET_FOLDER]   (default win32, the shipped set, from dist/<set>)
# win32 -> dist/win32/Morvane-setup.exe (32-bit installer); win64 -> dist/win64/Morvane-setup.exe
# (64-bit installer of the 64-bit set, the one that runs under wine64 for testing).
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-win32}
case $build in
  win32) target=x86-unicode ;;
  win64) target=amd64-unicode ;;
  *) echo "installer/build.sh: unknown set '$build' (win32, win64)" >&2; exit 2 ;;
esac
src=${2:-$top/dist/$build}
for f in Loader.exe Morvane.exe ostrel.dat halvane.dll strome.dll Cambrel.dll wexor.exe loader.ini pub.ini; do
  [ -f "$src/$f" ] || { echo "installer/build.sh: $src/$f is missing; build the set first" >&2; exit 1; }
done
makensis -V2 -DTARGET=$target "-DSRC=$src" "-DOUT=$src/Morvane-setup.exe" "$top/installer/morvane.nsi"
echo "$src/Morvane-setup.exe"
