#!/bin/sh
# Quality and cost of the reader's page structure, over a corpus of PDFs.
#   tools/bench/structure_quality.sh [CORPUS_DIR] [--no-speed]
# CORPUS_DIR holds pdf/*.pdf and MANIFEST.tsv; it defaults to the shared corpus (../shared/corpus
# beside the project). Builds an optimised, unsanitised halvane-dump in build/bench, then prints:
#   - the reader's text scored by corpus_score.py (mean words_f1, bigram_f1, order);
#   - for generated files with exact truth: tables found with the truth's rows and cells,
#     reading order of the structure's blocks, contents lines, paragraph counts;
#   - wall time of the text, of the structure, and of pdftotext and mutool over every PDF.
set -e
top=$(cd "$(dirname "$0")/../.." && pwd)
shared="$top/../shared"
corpus=${1:-$shared/corpus}
case "$corpus" in --*) corpus="$shared/corpus" ;; esac
bench="$top/build/bench"
if [ ! -f "$bench/build.ninja" ]; then
  cmake -S "$top" -B "$bench" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Release -DMORVANE_SANITIZE=OFF >/dev/null
fi
cmake --build "$bench" --target halvane-dump >/dev/null
exec python3 "$top/tools/bench/structure_quality.py" "$bench/bin/halvane-dump" "$corpus" "$shared/tools" "$@"
