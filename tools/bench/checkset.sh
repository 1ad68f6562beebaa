#!/bin/sh
# Assembles the check set: real PDFs of other kinds than the shared corpus, for measuring the
# Word layouts on files nobody tuned them to.
#   checkset.sh [OUT_DIR]        (default: build/checkset of the project)
# OUT_DIR gets the corpus form that corpus_score.py and faithful_quality.py read:
#   pdf/NAME.pdf, pdf/NAME.pdftotext.txt, pdf/NAME.truth.txt (generated files only), MANIFEST.tsv
# Sources:
#   - documentation PDFs shipped in Debian packages (apt-get download + dpkg-deb -x into a
#     temporary folder, nothing installed), made by many tools: Distiller, Ghostscript, pdfTeX,
#     LuaTeX, XeTeX, dvips, cairo, LibreOffice; manuals, papers, forms, Arabic and Cyrillic;
#   - documents written by checkset_docs.py and printed to PDF by LibreOffice, with exact truth.
# Nothing of it is committed; downloaded packages are kept in OUT_DIR/debs for the next run.
set -e
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/build/checkset}
mkdir -p "$out/pdf" "$out/debs"
out=$(cd "$out" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# package  file-name-in-package  (the first file of that name found in the package)
picks='
texlive-fonts-recommended-doc pxfontsdocA4.pdf
texlive-fonts-recommended-doc marvosym-doc.pdf
texlive-fonts-recommended-doc testeuro.pdf
texlive-humanities-doc parallel.pdf
texlive-humanities-doc tree-manual.pdf
texlive-humanities-doc langnames.pdf
texlive-humanities-doc screenplay-pkg-example.pdf
texlive-humanities-doc eledform.pdf
texlive-humanities-doc screenplay.pdf
texlive-humanities-doc sides-sample.pdf
texlive-humanities-doc poemscolcheatsheet.pdf
texlive-humanities-doc juraabbrev.pdf
texlive-formats-extra ideas.pdf
texlive-lang-cyrillic eskd.pdf
texlive-lang-cyrillic gost2008n.pdf
texlive-lang-cyrillic churchslavonic-en.pdf
texlive-lang-polish mwclsdoc.pdf
texlive-lang-polish wkmgr1.pdf
texlive-lang-arabic dad-user-guide.pdf
texlive-lang-arabic al-Jahiz.pdf
texlive-lang-arabic samplebook.pdf
texlive-lang-czechslovak cnbpaper.pdf
texlive-lang-czechslovak opmac-u-en.pdf
cups-filters form_english.pdf
cups-filters default-testpage.pdf
cups-filters classified.pdf
'

printf 'file\tpages\tbytes\tsource\tfeatures\tlicense\tproducer\tpdf_version\tpdftotext\ttruth\tnotes\n' > "$tmp/MANIFEST.tsv"

manifest_row() {   # name source truth
    f="$out/pdf/$1"
    pages=$(pdfinfo "$f" 2>/dev/null | awk '/^Pages:/{print $2}')
    producer=$(pdfinfo "$f" 2>/dev/null | awk -F': *' '/^Producer:/{print $2; exit}')
    version=$(pdfinfo "$f" 2>/dev/null | awk '/^PDF version:/{print $3}')
    bytes=$(stat -c %s "$f")
    text=ok
    pdftotext -enc UTF-8 "$f" "${f%.pdf}.pdftotext.txt" 2>/dev/null || text=failed
    printf '%s\t%s\t%s\t%s\t\t\t%s\t%s\t%s\t%s\t\n' "$1" "${pages:-0}" "$bytes" "$2" "$producer" "$version" "$text" "$3" \
        >> "$tmp/MANIFEST.tsv"
}

# Debian documentation PDFs.
for pkg in $(echo "$picks" | awk 'NF{print $1}' | sort -u); do
    if ! ls "$out/debs/${pkg}"_*.deb >/dev/null 2>&1; then
        (cd "$out/debs" && apt-get download "$pkg" >/dev/null 2>&1) || { echo "checkset: cannot download $pkg" >&2; continue; }
    fi
    deb=$(ls "$out/debs/${pkg}"_*.deb | head -n 1)
    mkdir -p "$tmp/x/$pkg"
    dpkg-deb -x "$deb" "$tmp/x/$pkg"
    version=$(dpkg-deb -f "$deb" Version)
    echo "$picks" | awk -v p="$pkg" '$1 == p {print $2}' | while read -r file; do
        found=$(find "$tmp/x/$pkg" -name "$file" | sort | head -n 1)
        [ -n "$found" ] || { echo "checkset: $file not in $pkg" >&2; continue; }
        short=$(echo "$pkg" | sed 's/^texlive-//; s/-doc$//')
        name="deb-$short-$file"
        cp "$found" "$out/pdf/$name"
        manifest_row "$name" "Debian package $pkg $version, ${found#$tmp/x/$pkg/}" no
    done
done

# Generated documents with exact truth, printed by LibreOffice in a private profile.
python3 "$top/tools/bench/checkset_docs.py" "$tmp/gen" >/dev/null
timeout 600 soffice "-env:UserInstallation=file://$tmp/profile" --headless --convert-to pdf --outdir "$tmp/gen" \
    "$tmp"/gen/*.fodt >/dev/null 2>&1
for fodt in "$tmp"/gen/*.fodt; do
    base=$(basename "$fodt" .fodt)
    [ -f "$tmp/gen/$base.pdf" ] || { echo "checkset: LibreOffice did not print $base" >&2; continue; }
    cp "$tmp/gen/$base.pdf" "$out/pdf/$base.pdf"
    cp "$tmp/gen/$base.truth.txt" "$out/pdf/$base.truth.txt"
    manifest_row "$base.pdf" "generated (tools/bench/checkset_docs.py)" yes
done

cp "$tmp/MANIFEST.tsv" "$out/MANIFEST.tsv"
echo "check set: $(($(wc -l < "$out/MANIFEST.tsv") - 1)) files in $out"
