#!/bin/sh
# Installs what is missing, builds the program set and starts Morvane under Wine.
# On a machine without a display it starts a virtual one, lets the main window convert the
# bundled sample PDFs through its own code path, saves a picture of the window during the run
# and says where the results are.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
# MORVANE_RUN_BUILT=1 skips the installation and the build (the set is already built).
if [ -z "$MORVANE_RUN_BUILT" ]; then
  "$top/scripts/install-deps.sh"
  "$top/scripts/build.sh" win64 win32
  cmake --build "$top/build/win64" --target morvane_showcase >/dev/null
  "$top/installer/build.sh" win32 >/dev/null || echo "run.sh: the installer could not be built" >&2
fi

echo
echo "Built the Windows program set:"
echo "  32-bit (install this on Windows): $top/dist/win32"
echo "  64-bit (runs here under Wine):    $top/dist/win64"
[ -f "$top/dist/win32/Morvane-setup.exe" ] && echo "  installer:                        $top/dist/win32/Morvane-setup.exe"

export WINEPREFIX="${WINEPREFIX:-$HOME/.cache/morvane/wine64}"
runner="$top/cmake/wine64-run.sh"
winpath() { echo "Z:$1" | sed 's#/#\\#g'; }

if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
  echo
  echo "Starting Morvane on $DISPLAY (close it with its close button or Exit)."
  cd "$top/dist/win64"
  exec "$runner" ./Morvane.exe
fi

# No display: the main window converts the samples on a virtual one.
out="$top/build/run-output"
rm -rf "$out"; mkdir -p "$out/docx" "$out/txt"
samples=""
for f in gen-v-images.pdf gen-v-notice.pdf gen-v-impress-slides.pdf; do
  samples="$samples $(winpath "$top/console/tests/data/$f")"
done
cd "$top/build/win64/bin"
echo
echo "No display: converting the sample PDFs in the main window on a virtual display..."
# shellcheck disable=SC2086
"$top/scripts/with-display.sh" "$runner" ./morvane_showcase.exe --out "$(winpath "$out/docx")" \
  --shot "$(winpath "$out/main-window.bmp")" $samples
# shellcheck disable=SC2086
"$top/scripts/with-display.sh" "$runner" ./morvane_showcase.exe --text --out "$(winpath "$out/txt")" $samples
convert "$out/main-window.bmp" "$out/main-window.png" 2>/dev/null && rm -f "$out/main-window.bmp"
echo
echo "Results:"
echo "  Word documents: $out/docx"
ls "$out/docx" | sed 's/^/    /'
echo "  Text files:     $out/txt"
ls "$out/txt" | sed 's/^/    /'
[ -f "$out/main-window.png" ] && echo "  Picture of the main window during the run: $out/main-window.png"
exit 0
