#!/bin/sh
# Builds the project: scripts/build.sh [native] [win64] [win32] (default: all three).
#   build/native - host clang with AddressSanitizer/UBSan (portable code and its tests)
#   build/win64  - x86_64 Windows, tested under wine64; installable set in dist/win64
#   build/win32  - i686 Windows, the shipped program set in dist/win32
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${MORVANE_JOBS:-$(nproc)}
builds=${*:-native win64 win32}
for b in $builds; do
  case $b in
    native) args="-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_DIST_DIR=$top/dist/native" ;;
    win64)  args="-DCMAKE_TOOLCHAIN_FILE=$top/cmake/mingw-x86_64.cmake -DMORVANE_DIST_DIR=$top/dist/win64" ;;
    win32)  args="-DCMAKE_TOOLCHAIN_FILE=$top/cmake/mingw-i686.cmake -DMORVANE_DIST_DIR=$top/dist/win32" ;;
    *) echo "build.sh: unknown build '$b' (native, win64, win32)" >&2; exit 2 ;;
  esac
  if [ ! -f "$top/build/$b/build.ninja" ]; then
    cmake -S "$top" -B "$top/build/$b" -G Ninja $args >/dev/null
  fi
  echo "== building $b"
  cmake --build "$top/build/$b" -j "$jobs"
done
