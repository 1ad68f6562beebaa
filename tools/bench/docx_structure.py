#!/usr/bin/env python3
"""Structure of the .docx output over a corpus, measured with a real consumer.

  docx_structure.py CORPUS_DIR [--morvanec EXE] [--work DIR] [--only TEXT] [--reuse]
                    [--batch N]

1. Converts every PDF of CORPUS_DIR/pdf (listed in MANIFEST.tsv) to .docx with the console
   converter under wine64, a batch of files per run.
2. Has LibreOffice lay every .docx out again and print it to PDF (headless, a batch per call,
   in a private user profile).
3. Measures, per file:
   pages   pages of LibreOffice's PDF (pdfinfo) against the source's pages (MANIFEST.tsv);
           one PDF page should give one Word page.
   jpeg    JPEG pictures of the package that are byte for byte a JPEG of the PDF (pdfimages -j),
           against the PDF's JPEGs; media whose bytes do not match their extension or content
           type are counted as bad.
   font    how much of the text keeps the PDF's font family: overlap of the character-weighted
           family histograms of the PDF (mutool stext) and of the document's runs, 0..1.
   size    the same overlap for font sizes; a run's size matches a PDF size that it is cut
           down to the half-point steps of the format (10.96 pt is 10.5 pt in a run).
   toc     contents lines (text, a dot leader, a page number) in the source's text and in
           LibreOffice's text (pdftotext -layout); "leader w/o number" counts leader lines
           whose number went to the next line.
4. Prints a table and the totals; the page ratio over the corpus is the sum of LibreOffice's
   pages over the sum of the source pages of the files that gave both.

Needs wine64, LibreOffice (soffice), poppler-utils and mupdf-tools (mutool; without it the
font and size columns are left empty). --reuse keeps the .docx and .pdf files found in the
work folder from an earlier run and converts only what is missing.
"""
import argparse
import collections
import csv
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
CT = '{http://schemas.openxmlformats.org/package/2006/content-types}'
DEFAULT_HALF_POINTS = None  # read from styles.xml per package

# A contents line: some text, a dot leader of five dots or more, a page number at the end.
CONTENTS_LINE = re.compile(r'\S.*?\.{5,}[ .]*\d+\s*$')
LEADER_ONLY = re.compile(r'\S.*?\.{5,}[ .]*$')


def run(cmd, timeout, **kw):
    """Runs cmd in its own process group; (returncode or 'timeout', stdout bytes)."""
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            stdin=subprocess.DEVNULL, start_new_session=True, **kw)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        return 'timeout', b''


def batches(items, size):
    for i in range(0, len(items), size):
        yield items[i:i + size]


# ---- conversions

def convert_to_docx(exe, pdfs, docx_dir, batch):
    wine = os.path.join(TOP, 'cmake', 'wine64-run.sh')
    for group in batches(pdfs, batch):
        cmd = [wine, exe, '--to', 'docx', '--out', 'Z:' + docx_dir] + ['Z:' + p for p in group]
        rc, _ = run(cmd, timeout=120 + 30 * len(group))
        if rc == 'timeout':
            print(f'  morvanec timed out on a batch starting with {os.path.basename(group[0])}',
                  file=sys.stderr)


def convert_to_pdf(docxs, pdf_dir, profile, batch):
    base = ['soffice', '--headless', '--norestore', f'-env:UserInstallation=file://{profile}',
            '--convert-to', 'pdf', '--outdir', pdf_dir]
    for group in batches(docxs, batch):
        rc, _ = run(base + group, timeout=120 + 60 * len(group))
        if rc == 'timeout':
            print(f'  soffice timed out on a batch; retrying its files one by one', file=sys.stderr)
            for one in group:
                if not os.path.exists(out_pdf(pdf_dir, one)):
                    run(base + [one], timeout=300)


def out_pdf(pdf_dir, docx):
    return os.path.join(pdf_dir, os.path.splitext(os.path.basename(docx))[0] + '.pdf')


def pdf_pages(path):
    rc, out = run(['pdfinfo', path], timeout=60)
    if rc != 0:
        return None
    m = re.search(rb'^Pages:\s+(\d+)', out, re.M)
    return int(m.group(1)) if m else None


# ---- package: pictures

def media_kind(data):
    if data.startswith(b'\xff\xd8\xff'):
        return 'jpeg'
    if data.startswith(b'\x89PNG\r\n\x1a\n'):
        return 'png'
    return 'other'


def pdf_jpegs(pdf, scratch):
    """md5 of the JPEG pictures of the PDF, as pdfimages -j writes them unchanged (soft masks,
    which are no pictures of their own, left out)."""
    rc, listing = run(['pdfimages', '-list', pdf], timeout=300)
    if rc != 0:
        return set()
    pictures = set()
    for line in listing.decode('utf-8', 'replace').splitlines()[2:]:
        cols = line.split()
        if len(cols) > 8 and cols[2] == 'image' and cols[8] == 'jpeg':
            pictures.add(int(cols[1]))
    folder = tempfile.mkdtemp(dir=scratch)
    try:
        run(['pdfimages', '-j', pdf, os.path.join(folder, 'i')], timeout=300)
        found = set()
        for f in os.listdir(folder):
            m = re.match(r'i-(\d+)\.jpg$', f)
            if m and int(m.group(1)) in pictures:
                found.add(hashlib.md5(open(os.path.join(folder, f), 'rb').read()).hexdigest())
        return found
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def package_media(z):
    """(kinds by name, md5 of the JPEG media, names whose bytes, extension and type disagree)."""
    types = ET.fromstring(z.read('[Content_Types].xml'))
    by_ext = {d.get('Extension', '').lower(): d.get('ContentType')
              for d in types.iter(CT + 'Default')}
    overrides = {o.get('PartName'): o.get('ContentType') for o in types.iter(CT + 'Override')}
    kinds, jpeg_md5, bad = {}, set(), []
    for name in z.namelist():
        if not name.startswith('word/media/'):
            continue
        data = z.read(name)
        kind = media_kind(data)
        kinds[name] = kind
        ext = name.rsplit('.', 1)[-1].lower()
        ctype = overrides.get('/' + name) or by_ext.get(ext)
        expect = {'jpeg': ('image/jpeg', ('jpg', 'jpeg')), 'png': ('image/png', ('png',))}.get(kind)
        if not expect or ctype != expect[0] or ext not in expect[1]:
            bad.append(name)
        if kind == 'jpeg':
            jpeg_md5.add(hashlib.md5(data).hexdigest())
    return kinds, jpeg_md5, bad


# ---- fonts and sizes

STYLE_WORDS = ('bolditalic', 'boldoblique', 'semibold', 'demibold', 'bold', 'italic', 'oblique',
               'regular', 'roman', 'medium', 'light', 'black', 'heavy', 'book', 'plain', 'normal')
ALIASES = {'helvetica': 'arial', 'times': 'timesnewroman', 'timesnew': 'timesnewroman',
           'courier': 'couriernew', 'simfang': 'fangsong',
           'song': 'simsun', 'stsong': 'simsun', 'hei': 'simhei', 'stheiti': 'simhei',
           'kai': 'kaiti', 'stkaiti': 'kaiti', 'fangsong': 'fangsong'}


def family_key(name):
    """A comparable family: no subset prefix, no style, lower case letters and digits only."""
    if not name:
        return ''
    if len(name) > 7 and name[6] == '+' and name[:6].isupper() and name[:6].isalpha():
        name = name[7:]
    name = name.split(',')[0]
    key = re.sub(r'[^0-9a-z]', '', name.lower())
    changed = True
    while changed:
        changed = False
        for tail in ('psmt', 'mt', 'ps', 'std', 'gb2312') + STYLE_WORDS:
            if key.endswith(tail) and len(key) > len(tail) + 2:
                key = key[:-len(tail)]
                changed = True
    return ALIASES.get(key, key)


def same_family(a, b):
    return a == b or (min(len(a), len(b)) >= 4 and (a.startswith(b) or b.startswith(a)))


def same_size(pdf_size, doc_size):
    """A run size is the PDF's when it is that size cut to the half-point steps of the format."""
    return 0 <= pdf_size - doc_size < 0.5 + 1e-6


def pdf_fonts(pdf, pages):
    """Characters per family key and per size of the PDF's text, from mutool."""
    families, sizes = collections.Counter(), collections.Counter()
    if not shutil.which('mutool'):
        return None
    rc, out = run(['mutool', 'draw', '-q', '-F', 'stext', '-o', '-', pdf], timeout=600)
    if rc != 0 or not out:
        return None
    # Streamed by regular expressions: the stext of a big manual is too large for a DOM.
    font, size = None, None
    for m in re.finditer(rb'<font name="([^"]*)" size="([^"]*)"|<char [^>]*?c="([^"]*)"', out):
        if m.group(1) is not None:
            font = m.group(1).decode('utf-8', 'replace')
            size = round(float(m.group(2)), 2)
        elif font is not None and m.group(3) not in (b' ', b''):
            families[family_key(font)] += 1
            sizes[size] += 1
    return families, sizes


def docx_fonts(z):
    """Characters per family key and per size of the document's runs (defaults from styles)."""
    default_family, default_size = '', 0.0
    try:
        styles = ET.fromstring(z.read('word/styles.xml'))
        rpr = styles.find(f'{W}docDefaults/{W}rPrDefault/{W}rPr')
        if rpr is not None:
            f = rpr.find(W + 'rFonts')
            sz = rpr.find(W + 'sz')
            default_family = f.get(W + 'ascii', '') if f is not None else ''
            default_size = int(sz.get(W + 'val')) / 2 if sz is not None else 0.0
    except (KeyError, ET.ParseError):
        pass
    families, sizes = collections.Counter(), collections.Counter()
    for _, el in ET.iterparse(z.open('word/document.xml')):
        if el.tag != W + 'r':
            continue
        text = ''.join(t.text or '' for t in el.iter(W + 't'))
        count = sum(1 for c in text if not c.isspace())
        if count:
            rpr = el.find(W + 'rPr')
            f = rpr.find(W + 'rFonts') if rpr is not None else None
            sz = rpr.find(W + 'sz') if rpr is not None else None
            family = f.get(W + 'ascii', default_family) if f is not None else default_family
            size = int(sz.get(W + 'val')) / 2 if sz is not None else default_size
            families[family_key(family)] += count
            sizes[round(size * 2) / 2] += count
        el.clear()
    return families, sizes


def overlap(pdf_counts, doc_counts, match=lambda a, b: a == b):
    """Sum over keys of the smaller share: 1 when both histograms agree, 0 when disjoint."""
    pt, dt = sum(pdf_counts.values()), sum(doc_counts.values())
    if not pt or not dt:
        return None
    pdf_share = {k: v / pt for k, v in pdf_counts.items()}
    doc_share = collections.Counter()
    for k, v in doc_counts.items():   # a document family counts for the PDF family it names
        matches = [p for p in pdf_share if match(p, k)]
        target = max(matches, key=pdf_share.get) if matches else k
        doc_share[target] += v / dt
    return sum(min(v, doc_share.get(k, 0.0)) for k, v in pdf_share.items())


# ---- contents lines

def contents_lines(pdf):
    rc, out = run(['pdftotext', '-layout', '-enc', 'UTF-8', pdf, '-'], timeout=300)
    if rc != 0:
        return None, None
    lines = out.decode('utf-8', 'replace').splitlines()
    return (sum(1 for l in lines if CONTENTS_LINE.search(l)),
            sum(1 for l in lines if LEADER_ONLY.search(l)))


# ---- report

def fmt(v, pattern='{:.2f}'):
    return '-' if v is None else pattern.format(v)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[1])
    ap.add_argument('corpus')
    ap.add_argument('--morvanec', default=os.path.join(TOP, 'dist', 'win64', 'morvanec.exe'))
    ap.add_argument('--work', default='', help='folder for the .docx and .pdf files (kept)')
    ap.add_argument('--only', default='', help='only files whose name contains this text')
    ap.add_argument('--reuse', action='store_true', help='keep outputs of an earlier run')
    ap.add_argument('--batch', type=int, default=12, help='files per morvanec and soffice run')
    a = ap.parse_args()

    rows = [r for r in csv.DictReader(open(os.path.join(a.corpus, 'MANIFEST.tsv'), encoding='utf-8'),
                                      delimiter='\t') if a.only in r['file']]
    work = os.path.abspath(a.work or tempfile.mkdtemp(prefix='docx-structure-'))
    docx_dir, pdf_dir, scratch = (os.path.join(work, d) for d in ('docx', 'pdf', 'scratch'))
    for d in (docx_dir, pdf_dir, scratch):
        os.makedirs(d, exist_ok=True)
    if not a.reuse:
        for d in (docx_dir, pdf_dir):
            for f in os.listdir(d):
                os.remove(os.path.join(d, f))

    def docx_of(row):
        return os.path.join(docx_dir, os.path.splitext(row['file'])[0] + '.docx')

    sources = [os.path.join(a.corpus, 'pdf', r['file']) for r in rows if not os.path.exists(docx_of(r))]
    print(f'converting {len(sources)} PDFs to .docx under wine ...', file=sys.stderr)
    convert_to_docx(os.path.abspath(a.morvanec), sources, docx_dir, a.batch)
    docxs = [docx_of(r) for r in rows if os.path.exists(docx_of(r)) and not os.path.exists(out_pdf(pdf_dir, docx_of(r)))]
    print(f'laying out {len(docxs)} .docx with LibreOffice ...', file=sys.stderr)
    convert_to_pdf(docxs, pdf_dir, os.path.join(scratch, 'lo-profile'), a.batch)

    header = (f"{'file':44} {'src':>5} {'word':>5} {'ratio':>6} {'jpeg':>7} {'png':>4} {'bad':>3} "
              f"{'font':>5} {'size':>5} {'toc':>7} {'lead':>4}")
    print(header)
    print('-' * len(header))
    src_total = out_total = 0
    jpeg_pdf_total = jpeg_kept_total = bad_total = 0
    font_w = size_w = weight = 0.0
    toc_src_total = toc_out_total = leader_total = 0
    missing, outliers = [], []
    for r in rows:
        name, src_pages = r['file'], int(r['pages'] or 0)
        docx = docx_of(r)
        if not os.path.exists(docx):
            missing.append((name, 'no .docx'))
            continue
        pdf = os.path.join(a.corpus, 'pdf', name)
        lo_pdf = out_pdf(pdf_dir, docx)
        out_pages = pdf_pages(lo_pdf) if os.path.exists(lo_pdf) else None
        if out_pages is None:
            missing.append((name, 'LibreOffice gave no PDF'))
        ratio = out_pages / src_pages if out_pages is not None and src_pages else None
        if ratio is not None:
            src_total += src_pages
            out_total += out_pages
            if abs(ratio - 1) > 0.10:
                outliers.append((name, src_pages, out_pages))
        try:
            z = zipfile.ZipFile(docx)
            kinds, jpeg_md5, bad = package_media(z)
            doc_fonts = docx_fonts(z)
        except (zipfile.BadZipFile, KeyError, ET.ParseError) as e:
            missing.append((name, f'package unreadable: {e}'))
            continue
        src_jpegs = pdf_jpegs(pdf, scratch) if src_pages else set()
        kept = len(jpeg_md5 & src_jpegs)
        pngs = sum(1 for k in kinds.values() if k == 'png')
        jpeg_pdf_total += len(src_jpegs)
        jpeg_kept_total += kept
        bad_total += len(bad)
        font = size = None
        src_fonts = pdf_fonts(pdf, src_pages) if src_pages else None
        if src_fonts:
            font = overlap(src_fonts[0], doc_fonts[0], same_family)
            size = overlap(src_fonts[1], doc_fonts[1], same_size)
            if font is not None and size is not None:
                chars = sum(src_fonts[0].values())
                font_w += font * chars
                size_w += size * chars
                weight += chars
        toc_src, _ = contents_lines(pdf) if src_pages else (None, None)
        toc_out, leaders = contents_lines(lo_pdf) if out_pages else (None, None)
        if toc_src is not None and toc_out is not None:
            toc_src_total += toc_src
            toc_out_total += toc_out
            leader_total += leaders
        jpeg = f'{kept}/{len(src_jpegs)}'
        toc = f'{fmt(toc_src, "{}")}/{fmt(toc_out, "{}")}'
        print(f'{name[:44]:44} {src_pages:5} {fmt(out_pages, "{}"):>5} {fmt(ratio):>6} {jpeg:>7} {pngs:4} '
              f'{len(bad):3} {fmt(font):>5} {fmt(size):>5} {toc:>7} {fmt(leaders, "{}"):>4}')
        sys.stdout.flush()

    print()
    print(f'files: {len(rows)}, laid out by LibreOffice: {len(rows) - len(missing)}')
    for name, why in missing:
        print(f'  not measured: {name}: {why}')
    if src_total:
        print(f'pages: source {src_total}, LibreOffice from .docx {out_total}, '
              f'ratio {out_total / src_total:.3f} (target 0.90..1.10)')
    print(f'files off by more than 10 %: {len(outliers)}')
    for name, s, o in sorted(outliers, key=lambda t: -abs(t[2] / t[1] - 1)):
        print(f'  {name}: {s} -> {o} ({o / s:.2f})')
    print(f'JPEG: {jpeg_kept_total} of the PDFs\' {jpeg_pdf_total} JPEGs kept byte for byte; '
          f'media with wrong type or extension: {bad_total}')
    if weight:
        print(f'font family overlap {font_w / weight:.3f}, size overlap {size_w / weight:.3f} '
              f'(character-weighted over files with text)')
    print(f'contents lines: source {toc_src_total}, LibreOffice {toc_out_total}, '
          f'leaders without their number {leader_total}')
    print(f'work folder: {work}')


if __name__ == '__main__':
    main()
