#!/bin/sh
# Time and peak memory of the writer for long documents, of the classic calls ("classic")
# and of the later operations: sections, tables, headers, footnotes, anchored pictures
# ("faithful").
#   tools/docx/bench_writer.sh [SAMPLES_TOOL] [PAGES...]
# SAMPLES_TOOL defaults to build/native/bin/strome_samples; a build without sanitizers
# (cmake -DMORVANE_SANITIZE=OFF) gives the figures users see.
set -e
top=$(cd "$(dirname "$0")/../.." && pwd)
tool=${1:-$top/build/native/bin/strome_samples}
[ $# -gt 0 ] && shift
pages=${*:-10 100 1000}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export MORVANE_SRC="$top"
printf '%9s %8s %10s %12s %12s\n' layout pages seconds peak_rss_kb docx_bytes
for kind in classic faithful; do
  mode=--pages
  [ "$kind" = faithful ] && mode=--faithful-pages
  for n in $pages; do
    /usr/bin/time -f '%e %M' -o "$out/time" "$tool" "$mode" "$n" "$out/long.docx"
    python3 "$top/tools/docx/check_docx.py" "$out/long.docx"
    read -r secs rss < "$out/time"
    printf '%9s %8s %10s %12s %12s\n' "$kind" "$n" "$secs" "$rss" "$(stat -c %s "$out/long.docx")"
  done
done
