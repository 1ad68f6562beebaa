#!/bin/sh
# Start-up, add and memory figures of the main window under Wine:
#   tools/bench/main_window.sh [CORPUS_PDF_FOLDER] [COUNT]
# 1. Wall time from starting Morvane.exe (Wine already up) until its main window is mapped.
# 2. In-process (morvane_showcase --measure, the same start-up and window code): time from
#    process start to the painted window, time to add COUNT PDFs of the folder (default 20),
#    private memory before and after.
set -e
top=$(cd "$(dirname "$0")/../.." && pwd)
corpus=${1:-/work/shared/corpus/pdf}
count=${2:-20}
bin="$top/build/win64/bin"
runner="$top/cmake/wine64-run.sh"
[ -f "$bin/morvane_showcase.exe" ] || cmake --build "$top/build/win64" --target morvane_showcase morvane ostrel >/dev/null
if [ -z "$MORVANE_BENCH_DISPLAY" ]; then
  MORVANE_BENCH_DISPLAY=1 exec "$top/scripts/with-display.sh" "$0" "$@"
fi
export WINEPREFIX="${WINEPREFIX:-$HOME/.cache/morvane/wine64}"
"$runner" cmd /c exit >/dev/null 2>&1   # Wine up and warm

files=$(ls "$corpus"/*.pdf | head -n "$count" | sed 's#/#\\#g; s#^#Z:#')

echo "== Morvane.exe: start to mapped main window (Wine already running), 5 runs"
cd "$top/dist/win64"
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  /usr/lib/wine/wine64 ./Morvane.exe >/dev/null 2>&1 &
  pid=$!
  until xwininfo -root -tree 2>/dev/null | grep -q 'www.example.com'; do sleep 0.01; done
  end=$(date +%s%N)
  echo "  run $run: $(( (end - start) / 1000000 )) ms"
  kill "$pid" 2>/dev/null || true   # the copy started above, by its process id
  wait "$pid" 2>/dev/null || true
  while xwininfo -root -tree 2>/dev/null | grep -q 'www.example.com'; do sleep 0.05; done
done

echo "== in-process: start-up, add $count PDFs of $corpus, memory"
cd "$bin"
# shellcheck disable=SC2086
IFS='
'
"$runner" ./morvane_showcase.exe --measure $files
