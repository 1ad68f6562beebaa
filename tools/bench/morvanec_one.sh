#!/bin/sh
# Converts one PDF with the console converter under wine64; the output kind follows OUT's
# extension (.docx or .txt) and the output lands at OUT (the naming rule keeps the PDF's name).
#   morvanec_one.sh PDF OUT        (MORVANEC=path/to/morvanec.exe to choose the build)
set -e
top=$(cd "$(dirname "$0")/../.." && pwd)
exe=${MORVANEC:-$top/dist/win64/morvanec.exe}
pdf=$(readlink -f "$1")
out_dir=$(cd "$(dirname "$2")" && pwd)
exec "$top/cmake/wine64-run.sh" "$exe" --to "${2##*.}" --out "Z:$out_dir" "Z:$pdf"
