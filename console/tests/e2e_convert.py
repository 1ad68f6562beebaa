#!/usr/bin/env python3
"""End-to-end check of morvanec.exe: converts the PDFs of a folder to .docx and to .txt and
checks the results.

  e2e_convert.py --runner WINE_RUNNER --exe MORVANEC_EXE --data DATA_DIR --scratch DIR

A .docx must be a well-formed package: every XML part parses, [Content_Types].xml covers every
part, every internal relationship target exists. A .txt must be UTF-16LE with a byte-order
mark. Where DATA_DIR holds NAME.truth.txt, nearly all of its text must be in the output.
A file that is not a PDF and a missing file must each give one error line and a non-zero exit,
without keeping the other files from being converted.
"""
import argparse
import collections
import os
import posixpath
import re
import shutil
import subprocess
import sys
import zipfile
import xml.etree.ElementTree as ET

W_NS = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
CT_NS = '{http://schemas.openxmlformats.org/package/2006/content-types}'
REL_NS = '{http://schemas.openxmlformats.org/package/2006/relationships}'
MIN_PAIRS_FOUND = 0.9

failures = []


def fail(message):
    failures.append(message)
    print('FAIL: ' + message)


def win_path(path):
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def run(args, exe, runner):
    proc = subprocess.run([runner, exe] + args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    return proc.returncode, proc.stdout.decode('utf-8', 'replace')


def check_package(path):
    """Returns the document text of a .docx, after checking the package."""
    try:
        z = zipfile.ZipFile(path)
    except zipfile.BadZipFile as e:
        fail(f'{path}: not a zip package ({e})')
        return ''
    names = set(z.namelist())
    if z.testzip() is not None:
        fail(f'{path}: a part fails its CRC')
    parsed = {}
    for name in names:
        if name.endswith('.xml') or name.endswith('.rels'):
            try:
                parsed[name] = ET.fromstring(z.read(name))
            except ET.ParseError as e:
                fail(f'{path}: {name} is not well-formed XML ({e})')
    types = parsed.get('[Content_Types].xml')
    if types is None:
        fail(f'{path}: no [Content_Types].xml')
        return ''
    defaults = {d.get('Extension', '').lower() for d in types.iter(CT_NS + 'Default')}
    overrides = {o.get('PartName', '') for o in types.iter(CT_NS + 'Override')}
    for name in names:
        if name == '[Content_Types].xml' or name.endswith('/'):
            continue
        ext = name.rsplit('.', 1)[-1].lower() if '.' in name else ''
        if '/' + name not in overrides and ext not in defaults:
            fail(f'{path}: no content type for {name}')
    for name, root in parsed.items():
        if not name.endswith('.rels'):
            continue
        source_dir = posixpath.dirname(posixpath.dirname(name))
        for rel in root.iter(REL_NS + 'Relationship'):
            if rel.get('TargetMode') == 'External':
                continue
            target = rel.get('Target', '')
            resolved = target.lstrip('/') if target.startswith('/') else posixpath.normpath(
                posixpath.join(source_dir, target))
            if resolved not in names:
                fail(f'{path}: relationship {rel.get("Id")} in {name} points to missing {target}')
    document = parsed.get('word/document.xml')
    if document is None:
        fail(f'{path}: no word/document.xml')
        return ''
    return ''.join(t.text or '' for t in document.iter(W_NS + 't'))


def read_text(path):
    data = open(path, 'rb').read()
    if not data.startswith(b'\xff\xfe'):
        fail(f'{path}: no UTF-16LE byte-order mark')
        return ''
    return data[2:].decode('utf-16-le', 'replace')


def check_words(path, text, truth_path):
    """Most of the truth must be in the output: character pairs, spaces and line ends ignored
    (so Chinese text without spaces and lines joined into paragraphs compare fairly)."""
    if not os.path.exists(truth_path):
        return
    def pairs(s):
        s = re.sub(r'\s+', '', s)
        return collections.Counter(s[i:i + 2] for i in range(len(s) - 1))
    want = pairs(open(truth_path, encoding='utf-8').read())
    got = pairs(text)
    found = sum(min(n, got[p]) for p, n in want.items())
    total = sum(want.values())
    share = found / total if total else 1.0
    print(f'  {os.path.basename(path)}: {share:.1%} of the truth\'s character pairs found')
    if share < MIN_PAIRS_FOUND:
        fail(f'{path}: only {share:.0%} of the truth is in the output')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--runner', required=True)
    ap.add_argument('--exe', required=True)
    ap.add_argument('--data', required=True)
    ap.add_argument('--scratch', required=True)
    a = ap.parse_args()

    shutil.rmtree(a.scratch, ignore_errors=True)
    pdfs = sorted(f for f in os.listdir(a.data) if f.endswith('.pdf'))
    inputs = os.path.join(a.scratch, 'in')
    os.makedirs(inputs)
    for f in pdfs:
        shutil.copy(os.path.join(a.data, f), inputs)

    for kind in ('docx', 'txt'):
        out = os.path.join(a.scratch, kind)
        os.makedirs(out)
        rc, output = run(['--to', kind, '--out', win_path(out)] + [win_path(os.path.join(inputs, f)) for f in pdfs],
                         a.exe, a.runner)
        print(output)
        if rc != 0:
            fail(f'--to {kind}: exit code {rc}')
        for f in pdfs:
            base = f[:-4]
            result = os.path.join(out, base + '.' + kind)
            if not os.path.exists(result):
                fail(f'no output {result}')
                continue
            text = check_package(result) if kind == 'docx' else read_text(result)
            if not text.strip():
                fail(f'{result}: no text')
            check_words(result, text, os.path.join(a.data, base + '.truth.txt'))

    # Relative paths with '/', for the PDF and for the output folder.
    rel_dir = os.path.join(a.scratch, 'rel')
    os.makedirs(os.path.join(rel_dir, 'out'))
    shutil.copy(os.path.join(a.data, pdfs[0]), rel_dir)
    proc = subprocess.run([a.runner, a.exe, '--to', 'txt', '--out', 'rel/out', 'rel/' + pdfs[0]], cwd=a.scratch,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    if proc.returncode != 0 or not os.path.exists(os.path.join(rel_dir, 'out', pdfs[0][:-4] + '.txt')):
        fail(f'relative paths: exit {proc.returncode}, output missing\n{proc.stdout.decode()}')

    # Failures: one error line per failed file, the good file still converted, exit code 1.
    bad = os.path.join(inputs, 'not-a-pdf.pdf')
    open(bad, 'wb').write(b'this is not a PDF file\n')
    out = os.path.join(a.scratch, 'bad')
    os.makedirs(out)
    rc, output = run(['--out', win_path(out), win_path(bad), win_path(os.path.join(inputs, 'missing.pdf')),
                      win_path(os.path.join(inputs, pdfs[0]))], a.exe, a.runner)
    print(output)
    errors = [line for line in output.splitlines() if 'error:' in line]
    if rc != 1:
        fail(f'bad inputs: exit code {rc}, expected 1')
    if len(errors) != 2 or 'not-a-pdf.pdf' not in errors[0] or 'missing.pdf' not in errors[1]:
        fail(f'bad inputs: expected one error line per failed file, got {errors}')
    if not os.path.exists(os.path.join(out, pdfs[0][:-4] + '.docx')):
        fail('bad inputs: the good file was not converted')

    rc, output = run(['--help'], a.exe, a.runner)
    if rc != 0 or 'Usage: morvanec.exe' not in output:
        fail(f'--help: exit {rc}')
    for args in (['--to', 'pdf', 'x.pdf'], ['--layout', 'exact', 'x.pdf']):
        rc, output = run(args, a.exe, a.runner)
        if rc != 2:
            fail(f'unusable command line {args}: exit {rc}, expected 2')

    # Both Word layouts give a sound package with the text of the PDF.
    for layout in ('faithful', 'classic'):
        out = os.path.join(a.scratch, 'layout-' + layout)
        os.makedirs(out)
        rc, output = run(['--layout', layout, '--out', win_path(out), win_path(os.path.join(inputs, pdfs[0]))],
                         a.exe, a.runner)
        result = os.path.join(out, pdfs[0][:-4] + '.docx')
        if rc != 0 or not os.path.exists(result):
            fail(f'--layout {layout}: exit {rc}, output missing\n{output}')
            continue
        check_words(result, check_package(result), os.path.join(a.data, pdfs[0][:-4] + '.truth.txt'))

    print(f'{len(failures)} failure(s)')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
