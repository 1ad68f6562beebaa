#!/bin/sh
# Installs the 64-bit installer silently into a fresh Wine prefix, checks the files, shortcuts
# and uninstall entry, starts the program from the installed folder through Loader.exe and
# waits for its main window, then uninstalls and checks that the files and shortcuts are gone.
# Needs the 64-bit set built (scripts/build.sh win64; MORVANE_DIST_WIN64 names another folder
# than dist/win64). Takes about a quarter of a minute.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
dist=${MORVANE_DIST_WIN64:-$top/dist/win64}
export MORVANE_DIST_WIN64="$dist"
if [ -z "$MORVANE_INSTALL_TEST_DISPLAY" ]; then
  "$top/installer/build.sh" win64 "$dist" >/dev/null
  MORVANE_INSTALL_TEST_DISPLAY=1 exec "$top/scripts/with-display.sh" "$0" "$@"
fi

export WINEPREFIX="${MORVANE_INSTALL_PREFIX:-$top/build/install-test-prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
# Only the processes of this private prefix are ended.
stop_prefix() { /usr/lib/wine/wineserver -k 2>/dev/null || true; /usr/lib/wine/wineserver -w 2>/dev/null || true; }
fail() { echo "install test: $*" >&2; stop_prefix; exit 1; }

rm -rf "$WINEPREFIX"
$wine wineboot -i >/dev/null 2>&1
reg="$WINEPREFIX/morvane-setup.reg"
{ printf '\377\376'; iconv -f UTF-8 -t UTF-16LE "$top/cmake/wine-setup.reg"; } > "$reg"
$wine regedit /S "$($wine winepath -w "$reg")" >/dev/null 2>&1
cp "$dist/Morvane-setup.exe" "$WINEPREFIX/drive_c/"

$wine 'C:\Morvane-setup.exe' /S '/D=C:\Apps\Talvern' >/dev/null 2>&1 || fail "silent install failed"
dir="$WINEPREFIX/drive_c/Apps/Talvern"
for f in Loader.exe Morvane.exe ostrel.dat halvane.dll strome.dll Cambrel.dll wexor.exe loader.ini pub.ini uninstall.exe; do
  [ -f "$dir/$f" ] || fail "$f not installed"
done
find "$WINEPREFIX/drive_c" -iname 'QuenbyTalvern软件.lnk' | grep -qi desktop || fail "no desktop shortcut"
find "$WINEPREFIX/drive_c" -ipath '*start menu*' -iname 'QuenbyTalvern软件.lnk' | grep -q . || fail "no Start-menu shortcut"
$wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvane' >/dev/null 2>&1 ||
  fail "no uninstall entry"
echo "installed into C:\\Apps\\Talvern with Start-menu and desktop shortcuts and an uninstall entry"

# Start the program as the shortcuts do; the main window's title names its taskbar button.
(cd "$dir" && $wine ./Loader.exe >/dev/null 2>&1 &)
i=0
until xwininfo -root -tree 2>/dev/null | grep -q 'www.example.com'; do
  i=$((i + 1))
  [ $i -gt 60 ] && fail "the main window did not appear"
  sleep 0.5
done
echo "the installed program started (Loader.exe -> Morvane.exe) and showed its main window"
stop_prefix

$wine 'C:\Apps\Talvern\uninstall.exe' /S '_?=C:\Apps\Talvern' >/dev/null 2>&1 || fail "silent uninstall failed"
[ ! -f "$dir/Morvane.exe" ] || fail "the uninstaller left Morvane.exe"
if find "$WINEPREFIX/drive_c" -iname 'QuenbyTalvern软件.lnk' | grep -q .; then fail "the uninstaller left a shortcut"; fi
echo "uninstalled: files and shortcuts removed"
stop_prefix
echo "install test passed"
