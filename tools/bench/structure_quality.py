#!/usr/bin/env python3
"""Figures of the reader's page structure; run through structure_quality.sh.

  structure_quality.py DUMP CORPUS_DIR TOOLS_DIR [CORPUS_DIR] [--no-speed]

Truth files (pdf/NAME.truth.txt) are read this way: a line holding TABs is a table row, and
consecutive rows make one table; every other non-empty line is one paragraph (the generators
write a paragraph, a heading, a list item or a contents line per line).
"""
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

dump, corpus, tools = sys.argv[1:4]
speed = '--no-speed' not in sys.argv[4:]
sys.path.insert(0, tools)
import textscore  # noqa: E402

pdfs = sorted(glob.glob(os.path.join(corpus, 'pdf', '*.pdf')))

# Files whose text a reader cannot give (a scan without a text layer) say nothing of structure.
features = {}
manifest = os.path.join(corpus, 'MANIFEST.tsv')
if os.path.exists(manifest):
    for row in open(manifest, encoding='utf-8').read().splitlines()[1:]:
        cols = row.split('\t')
        if len(cols) > 4:
            features[cols[0][:-4]] = cols[4].split(',')


def skipped(name):
    hits = [f for f in features.get(name, []) if f in ('no-text-layer', 'password-required', 'poppler-cannot-open')]
    return ','.join(hits)


def structure(pdf):
    r = subprocess.run([dump, '--structure', pdf], capture_output=True, timeout=300)
    if r.returncode != 0:
        return None
    return json.loads(r.stdout.decode('utf-8', 'replace'))


def blocks_of(doc):
    for page in doc['pages']:
        for b in page.get('blocks', []):
            yield page, b


def structure_text(doc):
    out = []
    for _, b in blocks_of(doc):
        if b['kind'] == 'table':
            out.extend('\t'.join(r) for r in b['rows'])
        elif 'text' in b:
            out.append(b['text'])
    return '\n'.join(out)


def is_contents_line(line):
    cells = line.split('\t')
    return len(cells) == 2 and cells[1].strip().isdigit()


def truth_units(text):
    """Tables (lists of rows of cells), paragraph count and contents lines of a truth file."""
    tables, paras, rows, contents = [], 0, [], []
    for line in text.splitlines() + ['']:
        if '\t' in line and is_contents_line(line):
            contents.append(line)
        elif '\t' in line:
            rows.append([c.strip() for c in line.split('\t')])
            continue
        if rows:
            tables.append(rows)
            rows = []
        if line.strip():
            paras += 1
    return tables, paras, contents


def norm(s):
    return ''.join(s.split())


def lcs_order(ref, cand):
    a, b = textscore.tokens(ref), textscore.tokens(cand)
    if not a and not b:
        return 1.0
    return 2 * textscore.lcs_length(a, b) / (len(a) + len(b))


print('== reader text over the corpus (corpus_score.py)')
r = subprocess.run([sys.executable, os.path.join(tools, 'corpus_score.py'), corpus, '--cmd',
                    f"sh -c '{dump} --text {{pdf}} > {{out}}'"], capture_output=True, text=True)
summary = [l for l in r.stdout.splitlines() if l.startswith('SUMMARY')]
print(summary[0] if summary else r.stdout[-500:])

print('== generated files with exact truth')
table_rows_ok = table_rows_all = 0
para_lines = []
for pdf in pdfs:
    name = os.path.basename(pdf)[:-4]
    truth_path = os.path.join(corpus, 'pdf', name + '.truth.txt')
    if not os.path.exists(truth_path):
        continue
    truth = open(truth_path, encoding='utf-8').read()
    doc = structure(pdf)
    if doc is None:
        print(f'  {name}: no structure')
        continue
    if skipped(name):
        print(f'  {name}: left out ({skipped(name)})')
        continue
    tables, paras, truth_contents = truth_units(truth)
    found = [[[norm(c) for c in row] for row in b['rows']] for _, b in blocks_of(doc) if b['kind'] == 'table']
    found_rows = [row for t in found for row in t]
    for t in tables:
        for row in t:
            table_rows_all += 1
            table_rows_ok += [norm(c) for c in row] in found_rows
    kinds = {}
    for _, b in blocks_of(doc):
        kinds[b['kind']] = kinds.get(b['kind'], 0) + 1
    # A paragraph going on from the previous column or page is the same paragraph.
    continued = sum(1 for _, b in blocks_of(doc) if b.get('continued'))
    text_blocks = sum(v for k, v in kinds.items() if k not in ('image',)) - continued
    truth_blocks = paras + len(tables)
    para_lines.append((name, text_blocks, truth_blocks))
    contents = [b for _, b in blocks_of(doc) if b['kind'] == 'contents' and b.get('page_ref')]
    line = (f'  {name}: blocks {text_blocks} vs truth {truth_blocks} ({(text_blocks - truth_blocks) / max(1, truth_blocks):+.0%}), '
            f'order {lcs_order(truth, structure_text(doc)):.4f}')
    if tables:
        line += f', table rows {sum(1 for t in tables for row in t if [norm(c) for c in row] in found_rows)}/{sum(len(t) for t in tables)}'
    if truth_contents:
        wanted = {norm(l) for l in truth_contents}
        got = {norm(b['text']) for b in contents}
        line += f', contents lines with their page numbers {len(wanted & got)}/{len(wanted)}'
    print(line)
within = sum(1 for _, s, t in para_lines if abs(s - t) <= 0.05 * t)
print(f'  table rows found with their cells: {table_rows_ok}/{table_rows_all}')
print(f'  files whose block count is within 5% of the truth: {within}/{len(para_lines)}; '
      f'total blocks {sum(s for _, s, _ in para_lines)} vs truth {sum(t for _, _, t in para_lines)}')

# Reading order of the structure against the references, for the multi-column files.
for name in ('gen-v-twocol', 'pypdf-multicolumn'):
    pdf = os.path.join(corpus, 'pdf', name + '.pdf')
    if not os.path.exists(pdf):
        continue
    doc = structure(pdf)
    ref = os.path.join(corpus, 'pdf', name + ('.truth.txt' if os.path.exists(os.path.join(corpus, 'pdf', name + '.truth.txt')) else '.pdftotext.txt'))
    cols = sorted({p['columns'] for p in doc['pages']})
    print(f'  {name}: columns per page {cols}, structure order vs {os.path.basename(ref)} '
          f'{lcs_order(open(ref, encoding="utf-8").read(), structure_text(doc)):.4f}')

if speed:
    print('== wall time over every PDF (best of 2)')

    def run_all(cmd_of):
        t0 = time.monotonic()
        for f in pdfs:
            try:
                subprocess.run(cmd_of(f), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
            except subprocess.TimeoutExpired:
                pass
        return time.monotonic() - t0

    cmds = {
        'text': lambda f: [dump, '--text', f],
        # The same extraction (no pictures encoded) with the structure analysis on top.
        'structure': lambda f: [dump, '--structure', '--no-images', f],
        'pdftotext': lambda f: ['pdftotext', '-enc', 'UTF-8', f, '-'],
    }
    if shutil.which('mutool'):
        cmds['mutool'] = lambda f: ['mutool', 'draw', '-q', '-F', 'txt', '-o', '-', f]
    best = {k: min(run_all(c) for _ in range(2)) for k, c in cmds.items()}
    print('  ' + '   '.join(f'{k}: {v:.2f} s' for k, v in best.items()))
    print(f'  text / pdftotext: {best["text"] / best["pdftotext"]:.2f}' +
          (f'   text / mutool: {best["text"] / best["mutool"]:.2f}' if 'mutool' in best else '') +
          f'   structure / text: {best["structure"] / best["text"]:.2f}')
