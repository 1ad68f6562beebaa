#!/usr/bin/python3
"""Writes the predefined CJK CMaps and the CID-to-Unicode tables of halvane/fonts/generated/.

Run by a developer when the source package changes; the build only compiles the committed output.

Source: Debian's poppler-data package (/usr/share/poppler/cMap), whose cMap/ folder holds
Adobe's CMap resources. Copyright 1990-2020 Adobe. BSD-3-Clause (redistribution in source and
binary forms, with or without modification, provided the copyright notice, the conditions and the
disclaimer are retained; the notice is repeated in the generated files). Only those Adobe files are
read: poppler-data's own cidToUnicode/ tables are GPL and are not used. CID to Unicode comes from
Adobe's Adobe-<Ordering>-UCS2 CMaps instead.

Usage:
  apt-get install poppler-data
  /usr/bin/python3 tools/fonts/gen_cmaps.py [--cmap-dir /usr/share/poppler/cMap]

Output format (decoded by halvane/fonts/predefined_cmaps.cpp). Numbers are unsigned varints
of printable digits, five bits a character (see varint()); "signed" ones are zigzag encoded. One blob per CMap:
  codespace count; per range: byte count (1..4), low, high
  cid range count; per range: gap to the previous range's end (first: low), length - 1,
                   signed CID minus the CID that would continue the previous range
  notdef range count; the same layout
A CMap's ranges are disjoint and sorted: where the source redefines a code, the later definition
already won here. A CMap with /usecmap names its parent; the reader merges the two when loading.
CID to Unicode, one blob per ordering:
  run count; per run: gap to the previous run's end, length - 1,
             signed first code point minus the one that would continue the previous run
  sequence count; per sequence: CID delta from the previous sequence, unit count, UTF-16 units
Variation selectors are dropped from the Adobe mappings (text extraction wants the base
character), CID 0 and mappings to U+0000 are left out, and the en space that the half-width
space glyphs map to becomes an ordinary space (it separates words). Mappings to more than one
character stay sequences.
"""

import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.join(HERE, "..", "..", "halvane", "fonts", "generated")

CMAPS = {
    "Adobe-GB1": ["GB-EUC-H", "GB-EUC-V", "GBpc-EUC-H", "GBpc-EUC-V", "GBK-EUC-H", "GBK-EUC-V",
                  "GBKp-EUC-H", "GBKp-EUC-V", "GBK2K-H", "GBK2K-V", "UniGB-UCS2-H",
                  "UniGB-UCS2-V", "UniGB-UTF16-H", "UniGB-UTF16-V"],
    "Adobe-CNS1": ["B5pc-H", "B5pc-V", "HKscs-B5-H", "HKscs-B5-V", "ETen-B5-H", "ETen-B5-V",
                   "ETenms-B5-H", "ETenms-B5-V", "CNS-EUC-H", "CNS-EUC-V", "UniCNS-UCS2-H",
                   "UniCNS-UCS2-V", "UniCNS-UTF16-H", "UniCNS-UTF16-V"],
    "Adobe-Japan1": ["83pv-RKSJ-H", "90ms-RKSJ-H", "90ms-RKSJ-V", "90msp-RKSJ-H", "90msp-RKSJ-V",
                     "90pv-RKSJ-H", "Add-RKSJ-H", "Add-RKSJ-V", "EUC-H", "EUC-V", "Ext-RKSJ-H",
                     "Ext-RKSJ-V", "H", "V", "UniJIS-UCS2-H", "UniJIS-UCS2-V", "UniJIS-UCS2-HW-H",
                     "UniJIS-UCS2-HW-V", "UniJIS-UTF16-H", "UniJIS-UTF16-V"],
    "Adobe-Korea1": ["KSC-EUC-H", "KSC-EUC-V", "KSCms-UHC-H", "KSCms-UHC-V", "KSCms-UHC-HW-H",
                     "KSCms-UHC-HW-V", "KSCpc-EUC-H", "UniKS-UCS2-H", "UniKS-UCS2-V",
                     "UniKS-UTF16-H", "UniKS-UTF16-V"],
}
ORDERINGS = {"Adobe-GB1": "GB1", "Adobe-CNS1": "CNS1", "Adobe-Japan1": "Japan1",
             "Adobe-Korea1": "Korea1", "Adobe-KR": "KR"}

ADOBE_NOTICE = """\
// Derived from Adobe's CMap resources as shipped in Debian's poppler-data %s.
// Copyright 1990-2020 Adobe. All rights reserved.
// Redistribution and use in source and binary forms, with or without modification, are
// permitted provided that the following conditions are met: Redistributions of source code must
// retain the above copyright notice, this list of conditions and the following disclaimer.
// Redistributions in binary form must reproduce the above copyright notice, this list of
// conditions and the following disclaimer in the documentation and/or other materials provided
// with the distribution. Neither the name of Adobe nor the names of its contributors may be used
// to endorse or promote products derived from this software without specific prior written
// permission.
// THIS SOFTWARE IS PROVIDED BY THE COPYRIGHT HOLDERS AND CONTRIBUTORS "AS IS" AND ANY EXPRESS OR
// IMPLIED WARRANTIES, INCLUDING, BUT NOT LIMITED TO, THE IMPLIED WARRANTIES OF MERCHANTABILITY
// AND FITNESS FOR A PARTICULAR PURPOSE ARE DISCLAIMED. IN NO EVENT SHALL THE COPYRIGHT HOLDER OR
// CONTRIBUTORS BE LIABLE FOR ANY DIRECT, INDIRECT, INCIDENTAL, SPECIAL, EXEMPLARY, OR
// CONSEQUENTIAL DAMAGES (INCLUDING, BUT NOT LIMITED TO, PROCUREMENT OF SUBSTITUTE GOODS OR
// SERVICES; LOSS OF USE, DATA, OR PROFITS; OR BUSINESS INTERRUPTION) HOWEVER CAUSED AND ON ANY
// THEORY OF LIABILITY, WHETHER IN CONTRACT, STRICT LIABILITY, OR TORT (INCLUDING NEGLIGENCE OR
// OTHERWISE) ARISING IN ANY WAY OUT OF THE USE OF THIS SOFTWARE, EVEN IF ADVISED OF THE
// POSSIBILITY OF SUCH DAMAGE.
"""

TOKEN = re.compile(rb"<([0-9A-Fa-f]*)>|(\d+)|/([^\s/<>\[\]()]+)|([A-Za-z]+)|\[|\]")


def tokens(data):
    data = re.sub(rb"%[^\r\n]*", b"", data)
    for m in TOKEN.finditer(data):
        if m.group(1) is not None:
            yield ("hex", m.group(1))
        elif m.group(2) is not None:
            yield ("int", int(m.group(2)))
        elif m.group(3) is not None:
            yield ("name", m.group(3).decode())
        elif m.group(4) is not None:
            yield ("op", m.group(4).decode())
        else:
            yield ("op", m.group(0).decode())


class SourceCMap:
    def __init__(self, path):
        self.codespace = []   # (nbytes, lo, hi)
        self.cid = []         # (lo, hi, cid) in source order
        self.notdef = []
        self.bf = []          # (lo, hi, [units]) for the UCS2 maps
        self.parent = None
        self.wmode = 0
        toks = list(tokens(open(path, "rb").read()))
        i = 0
        while i < len(toks):
            kind, val = toks[i]
            if kind == "name" and val == "WMode" and toks[i + 1][0] == "int":
                self.wmode = toks[i + 1][1]
            elif kind == "op" and val == "usecmap":
                self.parent = toks[i - 1][1]
            elif kind == "op" and val == "begincodespacerange":
                i += 1
                while toks[i][0] == "hex":
                    lo, hi = toks[i][1], toks[i + 1][1]
                    self.codespace.append((len(lo) // 2, int(lo, 16), int(hi, 16)))
                    i += 2
            elif kind == "op" and val in ("begincidrange", "beginnotdefrange"):
                target = self.cid if val == "begincidrange" else self.notdef
                i += 1
                while toks[i][0] == "hex":
                    target.append((int(toks[i][1], 16), int(toks[i + 1][1], 16), toks[i + 2][1]))
                    i += 3
            elif kind == "op" and val in ("begincidchar", "beginnotdefchar"):
                target = self.cid if val == "begincidchar" else self.notdef
                i += 1
                while toks[i][0] == "hex":
                    code = int(toks[i][1], 16)
                    target.append((code, code, toks[i + 1][1]))
                    i += 2
            elif kind == "op" and val == "beginbfchar":
                i += 1
                while toks[i][0] == "hex":
                    code = int(toks[i][1], 16)
                    self.bf.append((code, code, utf16_units(toks[i + 1][1])))
                    i += 2
            elif kind == "op" and val == "beginbfrange":
                i += 1
                while toks[i][0] == "hex":
                    lo, hi = int(toks[i][1], 16), int(toks[i + 1][1], 16)
                    assert toks[i + 2][0] == "hex", "arrays do not occur in the Adobe files"
                    units = utf16_units(toks[i + 2][1])
                    for k in range(hi - lo + 1):
                        self.bf.append((lo + k, lo + k, units[:-1] + [units[-1] + k]))
                    i += 3
            i += 1


def utf16_units(hexstr):
    return [int(hexstr[j:j + 4], 16) for j in range(0, len(hexstr), 4)]


def flatten(entries):
    """Disjoint sorted (lo, hi, value) runs; later source entries override earlier ones."""
    m = {}
    for lo, hi, cid in entries:
        for code in range(lo, hi + 1):
            m[code] = cid + (code - lo)
    runs = []
    for code in sorted(m):
        v = m[code]
        if runs and runs[-1][1] + 1 == code and runs[-1][2] + (code - runs[-1][0]) == v:
            runs[-1][1] = code
        else:
            runs.append([code, code, v])
    return runs


DIGITS = b"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+/"


def varint(n, out):
    """Five bits per character, least significant first; DIGITS[32 + v] means more follow."""
    assert n >= 0
    while True:
        v = n & 0x1F
        n >>= 5
        if n:
            out.append(DIGITS[32 + v])
        else:
            out.append(DIGITS[v])
            return


def zigzag(n):
    return (n << 1) if n >= 0 else ((-n) << 1) - 1


def encode_runs(runs, out):
    varint(len(runs), out)
    prev_end, prev_next_value = -1, 0
    for lo, hi, value in runs:
        varint(lo - prev_end - 1, out)
        varint(hi - lo, out)
        varint(zigzag(value - prev_next_value), out)
        prev_end, prev_next_value = hi, value + (hi - lo) + 1


def encode_cmap(src):
    out = bytearray()
    varint(len(src.codespace), out)
    for nbytes, lo, hi in src.codespace:
        varint(nbytes, out)
        varint(lo, out)
        varint(hi, out)
    encode_runs(flatten(src.cid), out)
    encode_runs(flatten(src.notdef), out)
    return out


VARIATION_SELECTORS = set(range(0xFE00, 0xFE10))


def scalars(units):
    out, i = [], 0
    while i < len(units):
        u = units[i]
        if 0xD800 <= u < 0xDC00 and i + 1 < len(units) and 0xDC00 <= units[i + 1] < 0xE000:
            out.append(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00))
            i += 2
        else:
            out.append(u)
            i += 1
    return [s for s in out if s not in VARIATION_SELECTORS and not 0xE0100 <= s <= 0xE01EF]


def to_units(scalar_list):
    units = []
    for s in scalar_list:
        if s >= 0x10000:
            s -= 0x10000
            units += [0xD800 + (s >> 10), 0xDC00 + (s & 0x3FF)]
        else:
            units.append(s)
    return units


def encode_cid_to_unicode(src):
    single, sequences = [], []
    for cid, _, units in src.bf:
        if cid == 0:
            continue  # .notdef: U+FFFD in the source, but it is no text
        s = [0x20 if c == 0x2002 else c for c in scalars(units) if c != 0]
        if len(s) == 1:
            single.append((cid, cid, s[0]))
        elif s:
            sequences.append((cid, to_units(s)))
    out = bytearray()
    encode_runs(flatten(single), out)
    varint(len(sequences), out)
    prev = 0
    for cid, units in sorted(sequences):
        varint(cid - prev, out)
        varint(len(units), out)
        for u in units:
            varint(u, out)
        prev = cid
    return out, len(flatten(single)), len(sequences)


def c_bytes(data):
    """The digit characters as C string literal lines (none needs escaping)."""
    text = data.decode("ascii")
    return "".join('    "%s"\n' % text[i:i + 96] for i in range(0, len(text), 96))


def package_version():
    try:
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", "poppler-data"],
                              capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "(version unknown)"


def write(path, text):
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print("wrote %s (%d bytes)" % (os.path.relpath(path), len(text)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cmap-dir", default="/usr/share/poppler/cMap")
    args = ap.parse_args()
    notice = ADOBE_NOTICE % package_version()

    blob = bytearray()
    rows = []
    for collection, names in CMAPS.items():
        for name in names:
            src = SourceCMap(os.path.join(args.cmap_dir, collection, name))
            data = encode_cmap(src)
            rows.append((name, '    {"%s", %s, "%s", %d, %d, %d},\n' % (
                name, '"%s"' % src.parent if src.parent else "nullptr", ORDERINGS[collection],
                src.wmode, len(blob), len(data))))
            blob += data
    text = ["// Generated by tools/fonts/gen_cmaps.py; do not edit.\n", notice,
            "// %d CMaps, %d characters of range data.\n\n" % (len(rows), len(blob)),
            "static const char kCMapBlob[] =\n", c_bytes(blob), "    ;\n\n",
            "static const PredefinedCMapEntry kPredefinedCMaps[] = {\n"]
    text += [row for _, row in sorted(rows, key=lambda r: r[0].encode("ascii"))]
    text.append("};\n")
    write(os.path.join(OUT_DIR, "predefined_cmaps.inc"), "".join(text))

    blob = bytearray()
    rows = []
    for collection, ordering in ORDERINGS.items():
        src = SourceCMap(os.path.join(args.cmap_dir, collection, collection + "-UCS2"))
        data, nruns, nseq = encode_cid_to_unicode(src)
        rows.append('    {"%s", %d, %d},  // %d runs, %d sequences\n' % (
            ordering, len(blob), len(data), nruns, nseq))
        blob += data
    text = ["// Generated by tools/fonts/gen_cmaps.py; do not edit.\n", notice,
            "// CID to Unicode for each character collection, from Adobe-<Ordering>-UCS2.\n\n",
            "static const char kCidToUnicodeBlob[] =\n", c_bytes(blob), "    ;\n\n",
            "static const CidToUnicodeEntry kCidToUnicode[] = {\n"]
    text += rows
    text.append("};\n")
    write(os.path.join(OUT_DIR, "cid_to_unicode.inc"), "".join(text))


if __name__ == "__main__":
    sys.exit(main())
