// halvane-dump: prints a PDF's pages as the reader delivers them, for debugging and benchmarks.
//   halvane-dump [--text | --count | --structure] FILE.pdf
// Without options: every line with its box, every run with font, size and text, image runs with
// their size. With --text: only the text, one output line per line, in the order the Word layout
// writes them (lines sorted by top between region separators), pages separated by a form feed.
// With --count: the page count and the time LoadDoc + GetPageCount took (what adding a file to
// the list costs). With --structure: the page layout (sections, columns, blocks in reading order
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

namespace {

void AppendUtf8(std::string* out, const qrn_wchar* text, int length)
{
    for (int i = 0; i < length; ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && static_cast<uint16_t>(text[i + 1]) >= 0xDC00 &&
            static_cast<uint16_t>(text[i + 1]) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out->push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (c >> 6)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out->push_back(static_cast<char>(0xE0 | (c >> 12)));
            out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out->push_back(static_cast<char>(0xF0 | (c >> 18)));
            out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
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

}  // namespace

int main(int argc, char** argv)
{
    bool textOnly = false;
    bool countOnly = false;
    bool structure = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text") == 0)
            textOnly = true;
        else if (std::strcmp(argv[i], "--count") == 0)
            countOnly = true;
        else if (std::strcmp(argv[i], "--structure") == 0)
            structure = true;
        else if (!path)
            path = argv[i];
    }
    if (!path) {
        std::fprintf(stderr, "usage: halvane-dump [--text | --count | --structure] FILE.pdf\n");
        return 2;
    }
    if (countOnly) {
        // The same path as the main program's LoadDoc: read the file, open, count.
        const auto start = std::chrono::steady_clock::now();
        halvane::ByteSource source;
        halvane::PdfDoc* doc = nullptr;
        if (halvane::ReadFileUtf8(path, halvane::kMaxFileBytes, &source))
            doc = halvane::PdfDoc::Open(std::move(source), halvane::ExtractOptions());
        const int pages = doc ? doc->GetPageCount() : 0;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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
    options.images = !textOnly;
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
