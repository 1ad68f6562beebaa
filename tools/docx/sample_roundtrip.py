#!/usr/bin/env python3
"""Builds the writer's sample documents and checks them.

usage: sample_roundtrip.py [--libreoffice] SAMPLES_TOOL SCRATCH_FOLDER

Without --libreoffice: every sample passes check_docx (zip, XML, content types,
relationships) and its text, read from document.xml, is the text the sample meant.
With --libreoffice: a real consumer opens them too. LibreOffice converts every sample to PDF
and to text headless; it must report no error, give the expected number of pages, and read
back the expected text. Exits 77 (skipped) when soffice is not installed.
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_docx  # noqa: E402

# Pages LibreOffice lays each sample out on.
EXPECTED_PAGES = {"layout": 1, "pictures": 1, "pages": 3}


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
        if text is not None and text + "\n" != expected[name]:
            failures += fail("%s: text of document.xml %r, expected %r" % (name, text, expected[name]))
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
            info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
            pages = [int(l.split()[1]) for l in info.splitlines() if l.startswith("Pages:")]
            if pages != [EXPECTED_PAGES[name]]:
                failures += fail("%s: LibreOffice lays it out on %s pages, expected %d" % (name, pages, EXPECTED_PAGES[name]))
        txt = os.path.join(scratch, "txt", name + ".txt")
        try:
            with open(txt, encoding="utf-8-sig") as f:  # LibreOffice starts its text with a BOM
                text = f.read().replace("\r\n", "\n")
        except OSError:
            failures += fail("%s: no text from LibreOffice" % name)
            continue
        if text != expected[name]:
            failures += fail("%s: LibreOffice reads %r, expected %r" % (name, text, expected[name]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
