#!/bin/sh
# Runs one Windows program under wine64 for ctest, headless, in the project's private prefix.
# Wine's helper processes (wineserver, explorer) inherit stdout/stderr; ctest would wait for
# them, so the program's output goes through a temporary file and the helpers get /dev/null.
: "${WINEPREFIX:=$HOME/.cache/morvane/wine64}"; export WINEPREFIX
: "${WINEDEBUG:=-all}"; export WINEDEBUG
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"   # never offer Mono/Gecko installs
here=$(dirname "$(readlink -f "$0")")
mkdir -p "$(dirname "$WINEPREFIX")"
# -o: the lock's descriptor is not inherited by wineserver, else every test would wait on it.
flock -o "$WINEPREFIX.lock" sh -c '
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot -i
    reg="$WINEPREFIX/morvane-setup.reg"
    { printf "\377\376"; iconv -f UTF-8 -t UTF-16LE "$1/wine-setup.reg"; } > "$reg"
    /usr/lib/wine/wine64 regedit /S "$(/usr/lib/wine/wine64 winepath -w "$reg")"
  fi
  if /usr/lib/wine/wineserver -p60; then /usr/lib/wine/wine64 wineboot; fi' sh "$here" </dev/null >/dev/null 2>&1
out=$(mktemp)
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"; rm -f "$out"
exit $rc
