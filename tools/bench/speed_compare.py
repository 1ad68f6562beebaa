#!/usr/bin/env python3
"""Speed and peak memory of the console converter against `mutool convert`, on the same PDFs.

  speed_compare.py CORPUS_DIR [--morvanec EXE] [--runs N] [--limit N]

morvanec.exe converts the whole set in one run (its batch mode, under wine64), to .docx and to
.txt; mutool converts each file to docx and to text (one process per file, as it takes one
input). Pages come from MANIFEST.tsv. Reports wall seconds, pages per second and the peak
resident memory of the largest process (for morvanec that includes Wine's own overhead).
mutool comes from Debian's mupdf-tools (scripts/install-deps.sh installs it).
"""
import argparse
import csv
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def timed(commands):
    """Runs the commands one after the other; wall seconds and the peak RSS (MB) of any of them."""
    start = time.monotonic()
    peak = 0
    failures = 0
    for cmd in commands:
        proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        peak = max(peak, usage.ru_maxrss)
        failures += status != 0
    return time.monotonic() - start, peak / 1024.0, failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('corpus')
    ap.add_argument('--morvanec', default=os.path.join(TOP, 'dist', 'win64', 'morvanec.exe'))
    ap.add_argument('--runs', type=int, default=1)
    ap.add_argument('--limit', type=int, default=0, help='only the first N files')
    a = ap.parse_args()

    rows = list(csv.DictReader(open(os.path.join(a.corpus, 'MANIFEST.tsv'), encoding='utf-8'), delimiter='\t'))
    skip = {'password-required', 'poppler-cannot-open'}
    rows = [r for r in rows if not skip & set((r.get('features') or '').split(','))]
    if a.limit:
        rows = rows[:a.limit]
    pdfs = [os.path.abspath(os.path.join(a.corpus, 'pdf', r['file'])) for r in rows]
    pages = sum(int(r['pages'] or 0) for r in rows)
    runner = os.path.join(TOP, 'cmake', 'wine64-run.sh')
    out = tempfile.mkdtemp(prefix='morvane-speed-')
    mutool = shutil.which('mutool')

    # Start Wine's server once so the first timed run does not pay for it.
    subprocess.run([runner, a.morvanec, '--help'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    jobs = [
        ('morvanec docx (one batch)', [[runner, a.morvanec, '--to', 'docx', '--out', 'Z:' + out] +
                                        ['Z:' + p for p in pdfs]]),
        ('morvanec txt (one batch)', [[runner, a.morvanec, '--to', 'txt', '--out', 'Z:' + out] +
                                       ['Z:' + p for p in pdfs]]),
    ]
    if mutool:
        jobs += [
            ('mutool convert docx', [[mutool, 'convert', '-o', os.path.join(out, 'm%d.docx' % i), p]
                                     for i, p in enumerate(pdfs)]),
            ('mutool convert text', [[mutool, 'convert', '-F', 'text', '-o', os.path.join(out, 'm%d.txt' % i), p]
                                     for i, p in enumerate(pdfs)]),
        ]
    else:
        print('mutool not found (apt-get install mupdf-tools): comparison left out')

    print(f'{len(pdfs)} files, {pages} pages, best of {a.runs} run(s)')
    print(f'{"converter":32} {"seconds":>8} {"pages/s":>8} {"peak MB":>8} {"failed":>6}')
    for name, commands in jobs:
        best = None
        for _ in range(a.runs):
            result = timed(commands)
            best = result if best is None or result[0] < best[0] else best
        wall, peak, failures = best
        print(f'{name:32} {wall:8.2f} {pages / wall:8.1f} {peak:8.1f} {failures:6d}')
    shutil.rmtree(out, ignore_errors=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
