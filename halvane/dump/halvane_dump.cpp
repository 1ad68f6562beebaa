// halvane-dump: prints a PDF's pages as the reader delivers them, for debugging and benchmarks.
//   halvane-dump [--text | --count | --warnings | --structure [--no-images]] FILE.pdf
// Without options: every line with its box, every run with font, size and text, image runs with
// their size. With --text: only the text, one output line per line, in the order the Word layout
// writes them (lines sorted by top between region separators), pages separated by a form feed.
// With --count: the page count and the time LoadDoc + GetPageCount took (what adding a file to
// the list costs). With --warnings: reads every page as the converter does, then prints what the
// reader repaired, skipped or gave up on, one diagnostic a line ("name object=N offset=N count=N",
// "-" for none), also for a file that does not open.
// With --structure: the page layout (sections, columns, blocks in reading order
// with their kind, box, text and paragraph properties, tables with their rows) as JSON:
// {"pages": [{"number", "width", "height", "columns", "blocks": [...]}, ...]}.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "halvane.h"
#include "line_order.h"
#include "halvane/face/pdf_doc.h"
#include "structure_json.h"
#include "unicode_text.h"

namespace {

// Text of a run as UTF-8; a lone surrogate shows as U+FFFD.
void AppendUtf8(std::string* out, const qrn_wchar* text, int length)
{
    morvane::DecodeUtf16(
        text, length > 0 ? static_cast<size_t>(length) : 0, [&](uint32_t c) { morvane::AppendUtf8(c, out); },
        morvane::kReplacementChar);
}

void PrintText(stPdfPage* page, std::string* out)
{
    SortLinesByTop(page);
    for (int i = 0; i < page->nLineCount; ++i) {
        stPdfLine* line = page->ppLines[i];
        if (!line)
            continue;
        SortRunsByX(line);
        for (int k = 0; k < line->nRunCount; ++k) {
            const stPdfRun* run = line->ppRuns[k];
            if (run->nType == PDF_RUN_TEXT) {
                const stPdfText* t = static_cast<const stPdfText*>(run->pData);
                AppendUtf8(out, t->szText, t->nLength);
            }
        }
        out->push_back('\n');
    }
}

void PrintRecords(int number, const stPdfPage* page, std::string* out)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, "page %d: %.1f x %.1f, %d line entries\n", number, page->fWidth, page->fHeight,
                  page->nLineCount);
    out->append(buf);
    for (int i = 0; i < page->nLineCount; ++i) {
        const stPdfLine* line = page->ppLines[i];
        if (!line) {
            out->append("  --\n");
            continue;
        }
        std::snprintf(buf, sizeof buf, "  line [%.1f %.1f %.1f %.1f]\n", line->fLeft, line->fTop, line->fRight,
                      line->fBottom);
        out->append(buf);
        for (int k = 0; k < line->nRunCount; ++k) {
            const stPdfRun* run = line->ppRuns[k];
            if (run->nType == PDF_RUN_IMAGE) {
                const stPdfImage* img = static_cast<const stPdfImage*>(run->pData);
                const bool jpeg = img->nDataSize > 2 && img->data[0] == 0xFF && img->data[1] == 0xD8;
                std::snprintf(buf, sizeof buf, "    image x=%.1f %dx%d %s %d bytes\n", run->fX, img->nWidth,
                              img->nHeight, jpeg ? "jpeg" : "png", img->nDataSize);
                out->append(buf);
            } else {
                const stPdfText* t = static_cast<const stPdfText*>(run->pData);
                std::snprintf(buf, sizeof buf, "    text x=%.1f font=%s size=%.2f: \"", run->fX, t->szFontName,
                              t->dSize);
                out->append(buf);
                AppendUtf8(out, t->szText, t->nLength);
                out->append("\"\n");
            }
        }
    }
}

void PrintDiagnostics(const halvane::DiagnosticList& list)
{
    auto field = [](int64_t v) { return v < 0 ? std::string("-") : std::to_string(v); };
    for (const halvane::Diagnostic& d : list.Entries())
        std::printf("%s object=%s offset=%s count=%u\n", halvane::DiagCodeName(d.code), field(d.object).c_str(),
                    field(d.offset).c_str(), d.count);
    if (list.Dropped() > 0)
        std::printf("(%llu more not kept)\n", static_cast<unsigned long long>(list.Dropped()));
}

int PrintWarnings(const char* path)
{
    halvane::ByteSource bytes;
    if (!halvane::ReadFileUtf8(path, halvane::kMaxFileBytes, &bytes)) {
        std::fprintf(stderr, "halvane-dump: cannot read %s\n", path);
        return 1;
    }
    halvane::DiagnosticList whyNot;
    halvane::PdfDoc* doc = halvane::PdfDoc::Open(std::move(bytes), halvane::ExtractOptions(), &whyNot);
    if (!doc) {
        PrintDiagnostics(whyNot);
        std::fprintf(stderr, "halvane-dump: cannot open %s as a PDF document\n", path);
        return 1;
    }
    for (int n = 1; n <= doc->GetPageCount(); ++n) {
        stPdfPage* page = nullptr;
        if (doc->LoadPage(n, &page))
            doc->FreePage(page);
    }
    PrintDiagnostics(doc->Diagnostics());
    delete doc;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    bool textOnly = false;
    bool countOnly = false;
    bool structure = false;
    bool noImages = false;  // --structure without encoding pictures (to time the analysis alone)
    bool warnings = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text") == 0)
            textOnly = true;
        else if (std::strcmp(argv[i], "--count") == 0)
            countOnly = true;
        else if (std::strcmp(argv[i], "--structure") == 0)
            structure = true;
        else if (std::strcmp(argv[i], "--no-images") == 0)
            noImages = true;
        else if (std::strcmp(argv[i], "--warnings") == 0)
            warnings = true;
        else if (!path)
            path = argv[i];
    }
    if (!path) {
        std::fprintf(stderr,
                     "usage: halvane-dump [--text | --count | --warnings | --structure [--no-images]] FILE.pdf\n");
        return 2;
    }
    if (warnings)
        return PrintWarnings(path);
    if (countOnly) {
        // The same path as the main program's LoadDoc: read the file, open, count.
        const auto start = std::chrono::steady_clock::now();
        halvane::ByteSource source;
        halvane::PdfDoc* doc = nullptr;
        if (halvane::ReadFileUtf8(path, halvane::kMaxFileBytes, &source))
            doc = halvane::PdfDoc::Open(std::move(source), halvane::ExtractOptions());
        const int pages = doc ? doc->GetPageCount() : 0;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const bool opened = doc != nullptr;
        delete doc;
        if (!opened) {
            std::fprintf(stderr, "halvane-dump: cannot open %s as a PDF document\n", path);
            return 1;
        }
        std::printf("%d pages, LoadDoc + GetPageCount %.2f ms\n", pages, ms);
        return 0;
    }
    halvane::ByteSource bytes;
    if (!halvane::ReadFileUtf8(path, halvane::kMaxFileBytes, &bytes)) {
        std::fprintf(stderr, "halvane-dump: cannot read %s\n", path);
        return 1;
    }
    halvane::ExtractOptions options;
    options.images = !textOnly && !noImages;
    halvane::PdfDoc* doc = halvane::PdfDoc::Open(std::move(bytes), options);
    if (!doc) {
        std::fprintf(stderr, "halvane-dump: cannot open %s as a PDF document\n", path);
        return 1;
    }
    const int count = doc->GetPageCount();
    std::string out;
    if (structure) {
        out = "{\"pages\": [\n";
        for (int n = 1; n <= count; ++n) {
            stPdfPageLayout* layout = nullptr;
            if (n > 1)
                out.append(",\n");
            if (!doc->LoadPageLayout(n, &layout)) {
                out.append("{\"number\":" + std::to_string(n) + ",\"error\":\"cannot be read\"}");
                continue;
            }
            AppendLayoutJson(*layout, &out);
            doc->FreePageLayout(layout);
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
        out.append("\n]}\n");
        std::fwrite(out.data(), 1, out.size(), stdout);
        delete doc;
        return 0;
    }
    for (int n = 1; n <= count; ++n) {
        stPdfPage* page = nullptr;
        if (textOnly && n > 1)
            out.push_back('\f');
        if (!doc->LoadPage(n, &page)) {
            if (!textOnly)
                out.append("page " + std::to_string(n) + ": cannot be read\n");
            continue;
        }
        if (textOnly)
            PrintText(page, &out);
        else
            PrintRecords(n, page, &out);
        doc->FreePage(page);
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
    }
    delete doc;
    return 0;
}
