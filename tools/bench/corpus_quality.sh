#!/bin/sh
# Text quality of the .docx output over a corpus, scored by corpus_score.py.
#   corpus_quality.sh CORPUS_DIR [SCORE_TOOL] [extra corpus_score.py options]
# CORPUS_DIR holds pdf/ and MANIFEST.tsv; SCORE_TOOL defaults to the shared corpus_score.py.
set -e
here=$(cd "$(dirname "$0")" && pwd)
corpus=${1:?usage: corpus_quality.sh CORPUS_DIR [SCORE_TOOL] [options]}
tool=${2:-/work/shared/tools/corpus_score.py}
[ $# -ge 2 ] && shift 2 || shift $#
exec python3 "$tool" "$corpus" --ext docx --cmd "$here/morvanec_one.sh {pdf} {out}" "$@"
