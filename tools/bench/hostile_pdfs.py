#!/usr/bin/env python3
"""Writes hostile or merely huge PDFs for measuring the reader's peak memory:
   tools/bench/hostile_pdfs.py OUT_FOLDER
Each file is small on disk and asks for a lot once read: a 20000 x 20000 scan page, a page
tree of a million pages, nested forms that each inflate to 40 MB, a content stream that
inflates a thousandfold, and an array of five
million numbers.
Then e.g.: /usr/bin/time -v halvane-dump --text OUT_FOLDER/scan-20000.pdf"""
import os
import sys
import zlib

HELLO = b"BT /F1 12 Tf 50 700 Td (Hello) Tj ET"


def pdf(objects, root=1):
    """objects: {number: body bytes}; a classic xref table and trailer."""
    out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for num in sorted(objects):
        offsets[num] = len(out)
        out += b"%d 0 obj\n" % num + objects[num] + b"\nendobj\n"
    size = max(objects) + 1
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % size
    for num in range(1, size):
        out += (b"%010d 00000 n \n" % offsets[num]) if num in offsets else b"0000000000 00000 f \n"
    out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (size, root, xref)
    return bytes(out)


def stream(data, extra=b""):
    return b"<< /Length %d %s >>\nstream\n" % (len(data), extra) + data + b"\nendstream"


def deflated(data):
    return zlib.compress(data, 6)


def page_objects(content, resources=b""):
    return {
        1: b"<< /Type /Catalog /Pages 2 0 R >>",
        2: b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        3: b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> "
        + resources + b" >> /Contents 4 0 R >>",
        4: stream(content),
        5: b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    }


def scan(side):
    objects = page_objects(HELLO + b" q 600 0 0 800 0 0 cm /Im1 Do Q", b"/XObject << /Im1 6 0 R >>")
    rows = zlib.compressobj(9)
    data = b"".join(rows.compress(bytes(side)) for _ in range(side)) + rows.flush()
    objects[6] = stream(data, b"/Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceGray "
                        b"/BitsPerComponent 8 /Filter /FlateDecode" % (side, side))
    return pdf(objects)


def million_pages(count=1000000):
    objects = {1: b"<< /Type /Catalog /Pages 2 0 R >>", 4: stream(HELLO),
               5: b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"}
    leaves = []
    first = 10
    for i in range(count):
        objects[first + i] = b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Contents 4 0 R >>"
        leaves.append(b"%d 0 R" % (first + i))
    objects[2] = b"<< /Type /Pages /Count %d /Resources << /Font << /F1 5 0 R >> >> /Kids [" % count + \
        b" ".join(leaves) + b"] >>"
    return pdf(objects)


def nested_forms(depth=12, padding=40 << 20):
    objects = page_objects(HELLO + b" /Fx Do", b"/XObject << /Fx 10 0 R >>")
    blanks = deflated(b" " * padding + b" /Fx Do ")
    for level in range(depth):
        nxt = b"%d 0 R" % (11 + level) if level + 1 < depth else b"40 0 R"
        objects[10 + level] = stream(blanks, b"/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Filter /FlateDecode "
                                     b"/Resources << /XObject << /Fx " + nxt + b" >> >>")
    objects[40] = stream(b"BT /F1 12 Tf 50 600 Td (Inner) Tj ET",
                         b"/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> >>")
    return pdf(objects)


def inflating_content(size=100 << 20):
    objects = page_objects(b"")
    objects[4] = stream(deflated(HELLO + b" " * size), b"/Filter /FlateDecode")
    return pdf(objects)


def huge_array(count=5000000):
    objects = page_objects(HELLO)
    objects[3] = objects[3].replace(b"/Contents 4 0 R", b"/Contents 4 0 R /Junk 6 0 R /Annots 6 0 R")
    objects[6] = b"[" + b" 0" * count + b"]"
    return pdf(objects)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "scan-20000.pdf": lambda: scan(20000),
        "million-pages.pdf": million_pages,
        "nested-forms.pdf": nested_forms,
        "inflating-content.pdf": inflating_content,
        "huge-array.pdf": huge_array,
    }
    for name, make in files.items():
        path = os.path.join(out, name)
        with open(path, "wb") as f:
            f.write(make())
        print(path, os.path.getsize(path))


if __name__ == "__main__":
    main()
