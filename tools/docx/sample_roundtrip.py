#!/usr/bin/env python3
"""Builds the writer's sample documents and checks them.

usage: sample_roundtrip.py [--libreoffice] SAMPLES_TOOL SCRATCH_FOLDER

Without --libreoffice: every sample passes check_docx (zip, XML, content types,
relationships) and its text, read from document.xml, is the text the sample meant.
With --libreoffice: real consumers open them too. LibreOffice converts every sample to PDF
and to text headless; it must report no error, give the expected number of pages (of the
expected sizes, where given), and read back the expected text. pandoc reads every sample to
plain text. Exits 77 (skipped) when soffice or pandoc is not installed.

Most samples expect their exact text. The features sample, whose headers, footers, footnotes
and columns each reader places its own way, lists texts that must appear instead, one a line
as WHERE<TAB>TEXT: "body" texts are in document.xml and every reader's text, "note" texts
(footnotes) in the PDF and pandoc's text, "page" texts (headers, footers, page numbers) in the
PDF only.
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_docx  # noqa: E402

# Pages LibreOffice lays each sample out on.
EXPECTED_PAGES = {"layout": 1, "pictures": 1, "pages": 3, "features": 2}
# Page sizes in points of samples whose pages differ: Letter portrait, then A4 landscape.
EXPECTED_PAGE_SIZES = {"features": [(612, 792), (841.9, 595.3)]}
SNIPPET_SAMPLES = {"features"}


def squeeze(text):
    return " ".join(text.split())


def snippets(expected, where):
    """The texts of a snippet sample that a reader of the given kind must show."""
    out = []
    for line in expected.splitlines():
        kind, _, text = line.partition("\t")
        if kind in where:
            out.append(text)
    return out


def missing_snippets(text, wanted):
    have = squeeze(text)
    return [w for w in wanted if squeeze(w) not in have]


def text_problem(name, reader, text, expected, where):
    """None when text is what the sample expects of this reader, else a message."""
    if name in SNIPPET_SAMPLES:
        missing = missing_snippets(text, snippets(expected, where))
        return None if not missing else "%s: %s misses %r" % (name, reader, missing)
    if text != expected:
        return "%s: %s reads %r, expected %r" % (name, reader, text, expected)
    return None


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    return 1


def find_soffice():
    for candidate in (shutil.which("soffice"), "/usr/lib/libreoffice/program/soffice"):
        if candidate and os.path.exists(candidate):
            return candidate
    return None


def soffice_convert(soffice, profile, target, outdir, files):
    os.makedirs(outdir, exist_ok=True)
    cmd = [soffice, "--headless", "--norestore", "-env:UserInstallation=file://" + profile,
           "--convert-to", target, "--outdir", outdir] + files
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    run = subprocess.run(cmd, capture_output=True, text=True, timeout=240, env=env)
    output = run.stdout + run.stderr
    if run.returncode != 0 or "Error" in output:
        raise RuntimeError("soffice --convert-to %s failed (%d): %s" % (target, run.returncode, output.strip()))


def main(argv):
    use_lo = "--libreoffice" in argv
    args = [a for a in argv if a != "--libreoffice"]
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    tool, scratch = args
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    soffice = find_soffice() if use_lo else None
    if use_lo and not soffice:
        print("SKIP: soffice not installed (scripts/install-deps.sh installs libreoffice-writer-nogui)")
        return 77
    pandoc = shutil.which("pandoc") if use_lo else None
    if use_lo and not pandoc:
        print("SKIP: pandoc not installed (scripts/install-deps.sh installs it)")
        return 77
    build = subprocess.run([tool, scratch], capture_output=True, text=True)
    if build.returncode != 0:
        return fail("samples tool: " + build.stderr)
    names = sorted(n[:-5] for n in os.listdir(scratch) if n.endswith(".docx"))
    if sorted(EXPECTED_PAGES) != names:
        return fail("samples made: %s" % names)
    expected = {}
    failures = 0
    for name in names:
        with open(os.path.join(scratch, name + ".expected.txt"), encoding="utf-8") as f:
            expected[name] = f.read()
        problems, text = check_docx.check(os.path.join(scratch, name + ".docx"), True)
        for p in problems:
            failures += fail("%s: %s" % (name, p))
        if text is not None:
            problem = text_problem(name, "document.xml", text + "\n", expected[name], {"body"})
            if problem:
                failures += fail(problem)
    if failures or not use_lo:
        return 1 if failures else 0

    profile = os.path.join(scratch, "lo-profile")
    files = [os.path.join(scratch, n + ".docx") for n in names]
    try:
        soffice_convert(soffice, profile, "pdf", os.path.join(scratch, "pdf"), files)
        soffice_convert(soffice, profile, "txt:Text (encoded):UTF8", os.path.join(scratch, "txt"), files)
    except (RuntimeError, subprocess.TimeoutExpired) as e:
        return fail(str(e))
    for name in names:
        pdf = os.path.join(scratch, "pdf", name + ".pdf")
        if not os.path.exists(pdf) or os.path.getsize(pdf) == 0:
            failures += fail("%s: no PDF from LibreOffice" % name)
            continue
        if shutil.which("pdfinfo"):
            failures += check_pdf_pages(name, pdf)
        if name in SNIPPET_SAMPLES and shutil.which("pdftotext"):
            shown = subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True).stdout
            problem = text_problem(name, "the PDF of LibreOffice", shown, expected[name], {"body", "note", "page"})
            if problem:
                failures += fail(problem)
        txt = os.path.join(scratch, "txt", name + ".txt")
        try:
            with open(txt, encoding="utf-8-sig") as f:  # LibreOffice starts its text with a BOM
                text = f.read().replace("\r\n", "\n")
        except OSError:
            failures += fail("%s: no text from LibreOffice" % name)
            continue
        problem = text_problem(name, "LibreOffice", text, expected[name], {"body"})
        if problem:
            failures += fail(problem)
    for name in names:
        failures += check_pandoc(pandoc, name, os.path.join(scratch, name + ".docx"), expected[name])
    return 1 if failures else 0


def check_pdf_pages(name, pdf):
    info = subprocess.run(["pdfinfo", "-f", "1", "-l", "999", pdf], capture_output=True, text=True).stdout
    pages = [int(l.split()[1]) for l in info.splitlines() if l.startswith("Pages:")]
    if pages != [EXPECTED_PAGES[name]]:
        return fail("%s: LibreOffice lays it out on %s pages, expected %d" % (name, pages, EXPECTED_PAGES[name]))
    sizes = []
    for line in info.splitlines():
        if line.startswith("Page") and " size:" in line:
            w, h = line.split("size:")[1].split()[0:3:2]
            sizes.append((float(w), float(h)))
    wanted = EXPECTED_PAGE_SIZES.get(name)
    if wanted and (len(sizes) != len(wanted) or
                   any(abs(a - c) > 1 or abs(b - d) > 1 for (a, b), (c, d) in zip(sizes, wanted))):
        return fail("%s: LibreOffice's pages are %s points, expected %s" % (name, sizes, wanted))
    return 0


def check_pandoc(pandoc, name, docx, expected):
    """pandoc reads the sample: without an error, and with its text (pandoc's plain text marks
    up some characters, so the samples of exact text are checked line by line, without
    their spaces, for their letters and digits)."""
    run = subprocess.run([pandoc, "-f", "docx", "-t", "plain", "--wrap=none", docx],
                         capture_output=True, text=True, timeout=120)
    if run.returncode != 0:
        return fail("%s: pandoc fails (%d): %s" % (name, run.returncode, run.stderr.strip()))
    if name in SNIPPET_SAMPLES:
        problem = text_problem(name, "pandoc", run.stdout, expected, {"body", "note"})
        return fail(problem) if problem else 0
    read = "".join(c for c in run.stdout if c.isalnum())
    for line in expected.splitlines():
        letters = "".join(c for c in line if c.isalnum())
        if letters not in read:
            return fail("%s: pandoc's text misses %r" % (name, line))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
