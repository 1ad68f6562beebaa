#!/usr/bin/env python3
"""How faithful the Word output is, for one layout over one corpus, laid out again by LibreOffice.

  faithful_quality.py [CORPUS_DIR] [--layout classic|faithful] [--tool native|wine]
                      [--work DIR] [--only TEXT] [--reuse] [--per-file]

CORPUS_DIR (default: the shared corpus, ../shared/corpus beside the project) holds pdf/ and
MANIFEST.tsv; the check set of checkset.sh has the same form.

1. Converts every PDF to .docx: --tool native runs build/native/bin/morvane-docx (the same
   reader, writer and layouts on the build machine), --tool wine runs dist/win64/morvanec.exe
   under wine64 (MORVANEC=... to choose another). Times each conversion.
2. Has LibreOffice print every .docx to PDF (headless, private profile, batches).
3. Measures:
   placed     placescore.py `placed`, mean over the files with at least 20 words
   pages      LibreOffice's pages / the PDF's pages over the corpus; files off by more than one
   tables     rows of the truth's tables (TAB-separated rows that are no contents lines) found
              as a row of a Word table with the same cells
   contents   contents lines of the truth (title TAB page) found as a paragraph of title, tab,
              page number
   flowing    share of the document's characters in flowing paragraphs and tables, not in text
              boxes or frames
   text       corpus_score.py --ext docx: mean words_f1 and order, beside the reader's own text
              (halvane-dump --text) on the same files
   packages   well-formed (zip + every XML part parses), printed by LibreOffice, read by pandoc
   jpegs      JPEG pictures of the PDFs stored byte for byte in the packages
   speed      pages per second of the conversions
"""
import argparse
import collections
import csv
import hashlib
import os
import re
import shlex
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET
import zipfile

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SHARED = os.path.normpath(os.path.join(TOP, '..', 'shared'))
sys.path.insert(0, os.path.join(SHARED, 'tools'))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import docx_structure  # noqa: E402  (conversion and picture helpers)
import placescore  # noqa: E402

W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
MIN_WORDS = 20


def convert(tool, layout, pdf, out):
    if tool == 'native':
        cmd = [os.path.join(TOP, 'build', 'native', 'bin', 'morvane-docx'), '--layout', layout, pdf, out]
    else:
        exe = os.environ.get('MORVANEC', os.path.join(TOP, 'dist', 'win64', 'morvanec.exe'))
        cmd = [os.path.join(TOP, 'cmake', 'wine64-run.sh'), exe, '--layout', layout, '--to', 'docx',
               '--out', 'Z:' + os.path.dirname(out), 'Z:' + pdf]
    t0 = time.monotonic()
    rc, _ = docx_structure.run(cmd, timeout=300)
    return rc, time.monotonic() - t0


def paragraph_text(p):
    out = []
    for el in p.iter():
        if el.tag == W + 't':
            out.append(el.text or '')
        elif el.tag == W + 'tab':
            out.append('\t')
        elif el.tag in (W + 'br', W + 'cr'):
            out.append('\n')
    return ''.join(out)


def norm(s):
    return ' '.join(s.split())


def docx_facts(path):
    """(well_formed, table rows as tuples of cell texts, paragraph texts, flowing chars, boxed chars)."""
    rows, paras, flowing, boxed = [], [], 0, 0
    try:
        with zipfile.ZipFile(path) as z:
            if z.testzip() is not None:
                return False, rows, paras, 0, 0
            for name in z.namelist():
                if name.endswith('.xml') or name.endswith('.rels'):
                    ET.fromstring(z.read(name))
            body = ET.fromstring(z.read('word/document.xml'))
    except Exception:
        return False, rows, paras, 0, 0
    boxes = set()
    for box in body.iter():
        if box.tag.endswith('}txbxContent'):
            for el in box.iter():
                boxes.add(el)
    for p in body.iter(W + 'p'):
        text = paragraph_text(p)
        n = len(text.strip())
        framed = p.find(W + 'pPr/' + W + 'framePr') is not None
        if p in boxes or framed:
            boxed += n
        else:
            flowing += n
            paras.append(text)
    for tr in body.iter(W + 'tr'):
        cells = []
        for tc in tr.findall(W + 'tc'):
            cells.append(norm(' '.join(paragraph_text(p) for p in tc.iter(W + 'p'))))
        rows.append(tuple(cells))
    return True, rows, paras, flowing, boxed


CONTENTS = re.compile(r'^(.*\S)\t(\d+)$')


def truth_rows(truth):
    """(table rows, contents lines) of a truth text."""
    tables, contents = [], []
    for block in truth.split('\n\n'):
        lines = [l for l in block.split('\n') if l.strip()]
        if not lines or not all('\t' in l for l in lines):
            continue
        if all(CONTENTS.match(l) and l.count('\t') == 1 for l in lines):
            contents.extend(lines)
        else:
            tables.extend(tuple(norm(c) for c in l.split('\t')) for l in lines)
    return tables, contents


def pandoc_reads(path):
    rc, _ = docx_structure.run(['pandoc', '-f', 'docx', '-t', 'plain', path, '-o', os.devnull], timeout=120)
    return rc == 0


def corpus_text_scores(corpus, cmd, ext, only):
    tool = os.path.join(SHARED, 'tools', 'corpus_score.py')
    args = [sys.executable, tool, corpus, '--ext', ext, '--cmd', cmd]
    if only:
        args += ['--only', only]
    out = subprocess.run(args, capture_output=True, text=True, timeout=7200).stdout
    m = re.search(r'mean_words_f1=([\d.]+).*?mean_order=([\d.]+)', out)
    return (float(m.group(1)), float(m.group(2))) if m else (0.0, 0.0)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('corpus', nargs='?', default=os.path.join(SHARED, 'corpus'))
    ap.add_argument('--layout', default='faithful', choices=['classic', 'faithful'])
    ap.add_argument('--tool', default='native', choices=['native', 'wine'])
    ap.add_argument('--work', default='')
    ap.add_argument('--only', default='')
    ap.add_argument('--reuse', action='store_true')
    ap.add_argument('--per-file', action='store_true')
    ap.add_argument('--no-text', action='store_true', help='leave out the corpus_score text figures')
    a = ap.parse_args()
    corpus = os.path.abspath(a.corpus)
    if not os.path.isdir(os.path.join(corpus, 'pdf')):
        print(f'faithful_quality: no corpus at {corpus}', file=sys.stderr)
        return 2
    work = a.work or os.path.join(TOP, 'build', 'faithful-quality',
                                  os.path.basename(corpus.rstrip('/')) + '-' + a.layout + '-' + a.tool)
    docx_dir, lo_dir = os.path.join(work, 'docx'), os.path.join(work, 'lo')
    os.makedirs(docx_dir, exist_ok=True)
    os.makedirs(lo_dir, exist_ok=True)
    rows = list(csv.DictReader(open(os.path.join(corpus, 'MANIFEST.tsv'), encoding='utf-8'), delimiter='\t'))
    rows = [r for r in rows if a.only in r['file'] and int(r.get('pages') or 0) > 0]

    # 1. Conversions.
    seconds, pages_done, failed = 0.0, 0, []
    for r in rows:
        pdf = os.path.join(corpus, 'pdf', r['file'])
        out = os.path.join(docx_dir, os.path.splitext(r['file'])[0] + '.docx')
        if a.reuse and os.path.exists(out):
            continue
        if os.path.exists(out):
            os.remove(out)
        rc, dt = convert(a.tool, a.layout, pdf, out)
        seconds += dt
        if rc != 0 or not os.path.exists(out):
            failed.append(r['file'])
        else:
            pages_done += int(r['pages'])
    # 2. LibreOffice.
    docxs = [os.path.join(docx_dir, os.path.splitext(r['file'])[0] + '.docx') for r in rows]
    todo = [d for d in docxs if os.path.exists(d) and not (a.reuse and os.path.exists(docx_structure.out_pdf(lo_dir, d)))]
    for d in todo:
        o = docx_structure.out_pdf(lo_dir, d)
        if os.path.exists(o):
            os.remove(o)
    profile = tempfile.mkdtemp(prefix='faithful-lo-')
    docx_structure.convert_to_pdf(todo, lo_dir, profile, 10)

    # 3. Figures.
    placed, src_pages, lo_pages, off = [], 0, 0, []
    table_rows = table_kept = toc_lines = toc_kept = 0
    flowing = boxed = 0
    well, lo_ok, pandoc_ok, total = 0, 0, 0, 0
    jpeg_pdf = jpeg_kept = 0
    scratch = tempfile.mkdtemp(prefix='faithful-q-')
    for r, d in zip(rows, docxs):
        name = r['file']
        base = os.path.splitext(name)[0]
        pdf = os.path.join(corpus, 'pdf', name)
        if not os.path.exists(d):
            continue
        total += 1
        ok, trows, paras, fl, bx = docx_facts(d)
        well += ok
        flowing += fl
        boxed += bx
        pandoc_ok += pandoc_reads(d)
        rendered = docx_structure.out_pdf(lo_dir, d)
        line = f'{base}:'
        if os.path.exists(rendered):
            n_lo = docx_structure.pdf_pages(rendered)
            if n_lo:
                lo_ok += 1
                n_src = int(r['pages'])
                src_pages += n_src
                lo_pages += n_lo
                if abs(n_lo - n_src) > 1:
                    off.append(f'{base} {n_lo}/{n_src}')
                s = placescore.score(pdf, rendered)
                if s['source_tokens'] >= MIN_WORDS:
                    placed.append(s['placed'])
                line += f" placed={s['placed']} pages={n_lo}/{n_src}"
        truth = os.path.join(corpus, 'pdf', base + '.truth.txt')
        if os.path.exists(truth):
            tables, contents = truth_rows(open(truth, encoding='utf-8').read())
            kept = collections.Counter(trows)
            for row in tables:
                table_rows += 1
                if kept[row] > 0:
                    kept[row] -= 1
                    table_kept += 1
            have = collections.Counter(norm(p.replace('\t', ' \x01 ')) for p in paras if '\t' in p)
            for c in contents:
                toc_lines += 1
                key = norm(c.replace('\t', ' \x01 '))
                if have[key] > 0:
                    have[key] -= 1
                    toc_kept += 1
            if tables or contents:
                line += f' table_rows={len(tables)} toc={len(contents)}'
        if 'jpeg' in (r.get('features') or '') or 'img-jpeg' in (r.get('features') or ''):
            want = docx_structure.pdf_jpegs(pdf, scratch)
            try:
                with zipfile.ZipFile(d) as z:
                    _, have_md5, _ = docx_structure.package_media(z)
            except Exception:
                have_md5 = set()
            jpeg_pdf += len(want)
            jpeg_kept += len(want & have_md5)
        if a.per_file:
            print(line)

    mean = lambda v: sum(v) / len(v) if v else 0.0
    print(f'layout={a.layout} tool={a.tool} corpus={corpus}')
    print(f'files={len(rows)} converted={total} failed={len(failed)} {" ".join(failed)}')
    print(f'placed_mean={mean(placed):.3f} (files with >= {MIN_WORDS} words: {len(placed)})')
    print(f'page_ratio={lo_pages / src_pages if src_pages else 0:.3f} ({lo_pages}/{src_pages}) '
          f'off_by_more_than_one={len(off)} {"; ".join(off)}')
    print(f'table_rows_kept={table_kept}/{table_rows} contents_lines_kept={toc_kept}/{toc_lines}')
    print(f'flowing_share={flowing / (flowing + boxed) if flowing + boxed else 1:.3f}')
    print(f'well_formed={well}/{total} libreoffice={lo_ok}/{total} pandoc={pandoc_ok}/{total}')
    print(f'jpegs_byte_identical={jpeg_kept}/{jpeg_pdf}')
    print(f'speed_pages_per_s={pages_done / seconds if seconds else 0:.1f} ({pages_done} pages, {seconds:.1f} s)')
    if not a.no_text:
        only = a.only
        copy = f'cp {shlex.quote(docx_dir)}/"$(basename {{pdf}} .pdf)".docx {{out}}'
        wf, order = corpus_text_scores(corpus, copy, 'docx', only)
        dump = shlex.quote(os.path.join(TOP, 'build', 'native', 'bin', 'halvane-dump'))
        rwf, rorder = corpus_text_scores(corpus, f'{dump} --text {{pdf}} > {{out}}', 'txt', only)
        print(f'docx_words_f1={wf:.4f} docx_order={order:.4f} reader_words_f1={rwf:.4f} reader_order={rorder:.4f}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
