#!/usr/bin/env python3
"""Checks that .docx packages are well formed: the zip reads back with correct CRCs, every
part parses as XML, [Content_Types].xml covers every part, every internal relationship
resolves to a part, and every picture reference of the document has a relationship.

usage: check_docx.py [--text] FILE.docx...
  --text  also print each document's text (paragraphs on lines, w:br as a line feed)
Exit code 0 when every file passes, 1 otherwise; one line per problem on stderr.
"""
import posixpath
import sys
import zipfile
import xml.dom.minidom

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
CT = "http://schemas.openxmlformats.org/package/2006/content-types"
OFFICE_DOC = R + "/officeDocument"


def rels_source(rels_name):
    """'word/_rels/document.xml.rels' -> 'word/document.xml'; '_rels/.rels' -> '' (the package)."""
    folder, name = posixpath.split(rels_name)
    base = posixpath.dirname(folder)
    return posixpath.join(base, name[: -len(".rels")]) if name != ".rels" else base


def document_text(dom):
    lines = []
    for p in dom.getElementsByTagNameNS(W, "p"):
        parts = []
        for node in p.getElementsByTagNameNS("*", "*"):
            if node.namespaceURI != W:
                continue
            if node.localName == "t":
                parts.append("".join(c.data for c in node.childNodes if c.nodeType == c.TEXT_NODE))
            elif node.localName == "tab" and node.parentNode.localName != "tabs":  # not a tab stop
                parts.append("\t")
            elif node.localName == "br" and node.getAttributeNS(W, "type") in ("", "textWrapping"):
                parts.append("\n")
        lines.append("".join(parts))
    return "\n".join(lines)


def check(path, want_text):
    problems = []
    try:
        z = zipfile.ZipFile(path)
    except (zipfile.BadZipFile, OSError) as e:
        return ["not a zip archive: %s" % e], None
    with z:
        bad = z.testzip()
        if bad:
            problems.append("CRC or data error in %s" % bad)
        names = [i.filename for i in z.infolist() if not i.filename.endswith("/")]
        if len(set(names)) != len(names):
            problems.append("duplicate entry names")
        doms = {}
        for name in names:
            if name.endswith(".xml") or name.endswith(".rels"):
                try:
                    doms[name] = xml.dom.minidom.parseString(z.read(name))
                except Exception as e:  # expat errors, decoding errors
                    problems.append("%s does not parse: %s" % (name, e))
        types = doms.get("[Content_Types].xml")
        if types is None:
            problems.append("no [Content_Types].xml")
            return problems, None
        defaults = {d.getAttribute("Extension").lower() for d in types.getElementsByTagNameNS(CT, "Default")}
        overrides = {o.getAttribute("PartName") for o in types.getElementsByTagNameNS(CT, "Override")}
        for name in names:
            if name == "[Content_Types].xml":
                continue
            base = posixpath.basename(name)
            ext = base.rsplit(".", 1)[1].lower() if "." in base else ""  # ".rels" has the extension rels
            if "/" + name not in overrides and ext not in defaults:
                problems.append("no content type for %s" % name)
        for o in overrides:
            if o[1:] not in names:
                problems.append("content type override for missing part %s" % o)
        main_part = None
        rels_by_source = {}
        for name, dom in doms.items():
            if not name.endswith(".rels"):
                continue
            source = rels_source(name)
            ids = {}
            for rel in dom.getElementsByTagNameNS(PKG_RELS, "Relationship"):
                rid, target = rel.getAttribute("Id"), rel.getAttribute("Target")
                if rid in ids:
                    problems.append("%s: duplicate id %s" % (name, rid))
                ids[rid] = target
                if rel.getAttribute("TargetMode") == "External":
                    continue
                resolved = posixpath.normpath(target[1:] if target.startswith("/")
                                              else posixpath.join(posixpath.dirname(source), target))
                if resolved not in names:
                    problems.append("%s: %s points to missing part %s" % (name, rid, resolved))
                if source == "" and rel.getAttribute("Type") == OFFICE_DOC:
                    main_part = resolved
            rels_by_source[source] = ids
        if main_part is None or main_part not in doms:
            problems.append("no main document part")
            return problems, None
        doc = doms[main_part]
        known = rels_by_source.get(main_part, {})
        for node in doc.getElementsByTagNameNS("*", "*"):
            for attr in ("embed", "id", "link"):
                rid = node.getAttributeNS(R, attr)
                if rid and rid not in known:
                    problems.append("%s: %s refers to unknown relationship %s" % (main_part, node.tagName, rid))
        return problems, document_text(doc) if want_text else None


def main(argv):
    want_text = "--text" in argv
    files = [a for a in argv if a != "--text"]
    if not files:
        print(__doc__, file=sys.stderr)
        return 2
    failed = 0
    for path in files:
        problems, text = check(path, want_text)
        for p in problems:
            print("%s: %s" % (path, p), file=sys.stderr)
        failed += bool(problems)
        if text is not None:
            sys.stdout.write(text + "\n")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
