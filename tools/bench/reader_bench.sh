#!/bin/sh
# Speed and memory of the PDF reader against pdftotext, side by side on the same files.
#   tools/bench/reader_bench.sh CORPUS_DIR [LARGEST.pdf]
# CORPUS_DIR holds pdf/*.pdf (e.g. ../shared/corpus). Builds an optimised, unsanitised
# halvane-dump in build/bench first. Prints:
#   - wall time of `halvane-dump --text` and of `pdftotext` over every PDF, and their ratio;
#   - LoadDoc + GetPageCount of the largest file (best of 5 runs, measured in-process);
#   - peak memory (max RSS) of extracting the largest file.
# Run it on a quiet machine; it takes about a minute.
set -e
top=$(cd "$(dirname "$0")/../.." && pwd)
corpus=${1:?usage: reader_bench.sh CORPUS_DIR [LARGEST.pdf]}
bench="$top/build/bench"
if [ ! -f "$bench/build.ninja" ]; then
  cmake -S "$top" -B "$bench" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Release -DMORVANE_SANITIZE=OFF >/dev/null
fi
cmake --build "$bench" --target halvane-dump >/dev/null
dump="$bench/bin/halvane-dump"
largest=${2:-$(ls -S "$corpus"/pdf/*.pdf | head -n 1)}
python3 - "$dump" "$corpus" "$largest" <<'PY'
import glob, os, resource, subprocess, sys, time
dump, corpus, largest = sys.argv[1:4]
files = sorted(glob.glob(os.path.join(corpus, 'pdf', '*.pdf')))

def run_all(cmd_of):
    t0 = time.monotonic()
    for f in files:
        subprocess.run(cmd_of(f), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - t0

# Interleave the two tools twice and keep each one's best, so that load from other users
# of the machine hurts both alike.
ours, theirs = [], []
for _ in range(2):
    ours.append(run_all(lambda f: [dump, '--text', f]))
    theirs.append(run_all(lambda f: ['pdftotext', '-enc', 'UTF-8', f, '-']))
o, t = min(ours), min(theirs)
print(f'files: {len(files)}')
print(f'halvane-dump --text: {o:.2f} s   pdftotext: {t:.2f} s   ratio (pdftotext / halvane): {t / o:.2f}')

best = None
for _ in range(5):
    out = subprocess.run([dump, '--count', largest], capture_output=True, text=True).stdout
    ms = float(out.split('GetPageCount')[1].split('ms')[0])
    best = ms if best is None else min(best, ms)
print(f'largest file: {os.path.basename(largest)} ({os.path.getsize(largest)} bytes): {out.split(",")[0]}, '
      f'LoadDoc + GetPageCount {best:.2f} ms (best of 5)')

# A fresh interpreter runs only the dump, so its children's peak is the dump's own.
probe = ('import resource, subprocess, sys\n'
         'subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL)\n'
         'print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)')
peak = int(subprocess.run([sys.executable, '-c', probe, dump, largest], capture_output=True, text=True).stdout)
print(f'peak memory extracting every page with images: {peak / 1024:.1f} MB')
PY
