#!/bin/sh
# Installs what is missing, builds the program set and runs the program's main job.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" win64 win32
echo
echo "Built the Windows program set:"
echo "  32-bit (install this on Windows): $top/dist/win32"
ls "$top/dist/win32" 2>/dev/null | sed 's/^/    /'
echo "  64-bit (runs here under wine64):  $top/dist/win64"
