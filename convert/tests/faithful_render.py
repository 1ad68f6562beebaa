#!/usr/bin/env python3
"""Converts a few PDFs with the faithful layout, has LibreOffice lay each .docx out again and
checks with the shared placement tool that every PDF page gives one Word page and that the
words stand where the PDF shows them.

  faithful_render.py --converter morvane-docx --scratch DIR

The fixtures are files of the shared corpus (../shared beside the project); without it, or
without LibreOffice, the test is skipped (exit 77).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SHARED = os.path.normpath(os.path.join(TOP, '..', 'shared'))
SKIP = 77

# Fixture, and the least share of its words that must stand in place: a table, two columns
# under a title, a contents page, a report of several pages, pictures with captions. The report's
# full pages give up paragraph spacing to stay one page each, so less of it stands in place.
FIXTURES = [
    ('gen-v-table.pdf', 0.9),
    ('gen-v-twocol.pdf', 0.75),
    ('gen-v-toc-manual.pdf', 0.85),
    ('gen-v-long-report.pdf', 0.5),
    ('gen-v-images.pdf', 0.75),
]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--converter', required=True)
    ap.add_argument('--scratch', required=True)
    a = ap.parse_args()
    corpus = os.path.join(SHARED, 'corpus', 'pdf')
    if not os.path.isdir(corpus) or not os.path.exists(os.path.join(SHARED, 'tools', 'placescore.py')):
        print(f'skipped: no shared corpus at {SHARED}')
        return SKIP
    soffice = shutil.which('soffice')
    if not soffice:
        print('skipped: LibreOffice (soffice) is not installed')
        return SKIP
    sys.path.insert(0, os.path.join(SHARED, 'tools'))
    import placescore

    shutil.rmtree(a.scratch, ignore_errors=True)
    os.makedirs(a.scratch)
    docxs = []
    for name, _ in FIXTURES:
        out = os.path.join(a.scratch, os.path.splitext(name)[0] + '.docx')
        rc = subprocess.run([a.converter, '--layout', 'faithful', os.path.join(corpus, name), out],
                            timeout=300).returncode
        if rc != 0 or not os.path.exists(out):
            print(f'FAIL {name}: conversion failed (exit {rc})')
            return 1
        docxs.append(out)
    profile = tempfile.mkdtemp(prefix='faithful-render-')
    try:
        subprocess.run([soffice, '--headless', '--norestore', f'-env:UserInstallation=file://{profile}',
                        '--convert-to', 'pdf', '--outdir', a.scratch] + docxs,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=600)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    failed = 0
    for name, least in FIXTURES:
        rendered = os.path.join(a.scratch, os.path.splitext(name)[0] + '.pdf')
        if not os.path.exists(rendered):
            print(f'FAIL {name}: LibreOffice did not lay the document out')
            failed += 1
            continue
        s = placescore.score(os.path.join(corpus, name), rendered)
        ok = s['pages'] == 1.0 and s['placed'] >= least
        print(f"{'ok  ' if ok else 'FAIL'} {name}: placed={s['placed']} (at least {least}) pages={s['pages']}")
        failed += not ok
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
