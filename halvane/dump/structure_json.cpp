#include "structure_json.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kKinds[] = {"paragraph", "heading", "list_item", "contents", "table",
                              "image",     "header",  "footer",    "footnote"};
const char* const kAligns[] = {"left", "center", "right", "justify"};
const char* const kLeaders[] = {"none", "dots", "dashes", "line", "space"};

bool IsCjk(uint32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

void AppendEscaped(const qrn_wchar* text, int length, std::string* out)
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
        if (c == '"' || c == '\\') {
            out->push_back('\\');
            out->push_back(static_cast<char>(c));
        } else if (c == '\t') {
            out->append("\\t");
        } else if (c == '\n') {
            out->append("\\n");
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out->append(buf);
        } else if (c < 0x80) {
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

void AppendString(const char* s, std::string* out)
{
    out->push_back('"');
    for (; *s; ++s) {
        if (*s == '"' || *s == '\\')
            out->push_back('\\');
        if (static_cast<unsigned char>(*s) >= 0x20)
            out->push_back(*s);
    }
    out->push_back('"');
}

void AppendNumber(double v, std::string* out)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    out->append(buf);
}

void AppendBox(float x0, float y0, float x1, float y1, std::string* out)
{
    out->push_back('[');
    AppendNumber(x0, out);
    out->push_back(',');
    AppendNumber(y0, out);
    out->push_back(',');
    AppendNumber(x1, out);
    out->push_back(',');
    AppendNumber(y1, out);
    out->push_back(']');
}

// A block's text as it flows: lines joined with a space, without one after CJK text.
std::u16string BlockText(const stPdfPageLayout& page, const stPdfBlock& b)
{
    std::u16string s;
    for (int i = 0; i < b.nLineCount; ++i) {
        const int li = b.nFirstLine + i;
        if (li < 0 || li >= page.nLineCount)
            break;
        const stPdfTextLine& line = *page.ppLines[li];
        std::u16string t;
        for (int k = 0; k < line.nRunCount; ++k) {
            const int ri = line.nFirstRun + k;
            if (ri < 0 || ri >= page.nRunCount)
                break;
            const stPdfTextRun& run = *page.ppRuns[ri];
            t.append(reinterpret_cast<const char16_t*>(run.pText), static_cast<size_t>(run.nLength));
        }
        while (!t.empty() && t.back() == u' ')
            t.pop_back();
        if (t.empty())
            continue;
        if (!s.empty() && !IsCjk(s.back()))
            s.push_back(u' ');
        s += t;
    }
    return s;
}

void AppendU16(const std::u16string& s, std::string* out)
{
    out->push_back('"');
    AppendEscaped(reinterpret_cast<const qrn_wchar*>(s.data()), static_cast<int>(s.size()), out);
    out->push_back('"');
}

// The block's main style: the style of its first run with text.
void AppendStyle(const stPdfPageLayout& page, const stPdfBlock& b, std::string* out)
{
    if (b.nLineCount <= 0 || b.nFirstLine < 0 || b.nFirstLine >= page.nLineCount)
        return;
    const stPdfTextLine& line = *page.ppLines[b.nFirstLine];
    if (line.nRunCount <= 0 || line.nFirstRun < 0 || line.nFirstRun >= page.nRunCount)
        return;
    const stPdfTextRun& run = *page.ppRuns[line.nFirstRun];
    out->append(",\"font\":");
    AppendString(run.szFontFamily, out);
    out->append(",\"size\":");
    AppendNumber(run.fSize, out);
    char buf[64];
    std::snprintf(buf, sizeof buf, ",\"color\":\"%06x\"", run.nColor);
    out->append(buf);
    if (run.nFlags & PDF_STYLE_BOLD)
        out->append(",\"bold\":true");
    if (run.nFlags & PDF_STYLE_ITALIC)
        out->append(",\"italic\":true");
}

void AppendBlock(const stPdfPageLayout& page, const stPdfBlock& b, std::string* out);

void AppendTable(const stPdfPageLayout& page, const stPdfTable& t, std::string* out)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, ",\"ruled\":%s,\"header_rows\":%d,\"column_edges\":[",
                  (t.nFlags & PDF_TABLE_RULED) ? "true" : "false", t.nHeaderRows);
    out->append(buf);
    for (int k = 0; k <= t.nColumnCount; ++k) {
        if (k)
            out->push_back(',');
        AppendNumber(t.pColumnEdges[k], out);
    }
    out->append("],\"row_edges\":[");
    for (int k = 0; k <= t.nRowCount; ++k) {
        if (k)
            out->push_back(',');
        AppendNumber(t.pRowEdges[k], out);
    }
    out->append("],\"rows\":[");
    int row = -1;
    for (int c = 0; c < t.nCellCount; ++c) {
        const int ci = t.nFirstCell + c;
        if (ci < 0 || ci >= page.nCellCount)
            break;
        const stPdfTableCell& cell = *page.ppCells[ci];
        if (cell.nRow != row) {
            if (row >= 0)
                out->push_back(']');
            if (row >= 0)
                out->push_back(',');
            out->push_back('[');
            row = cell.nRow;
        } else {
            out->push_back(',');
        }
        std::u16string text;
        for (int k = 0; k < cell.nBlockCount; ++k) {
            const int bi = cell.nFirstBlock + k;
            if (bi < 0 || bi >= page.nCellBlockCount)
                break;
            const stPdfBlock& cb = *page.ppCellBlocks[bi];
            if (!text.empty())
                text.push_back(u' ');
            if (cb.nLabelLength > 0) {
                text.append(reinterpret_cast<const char16_t*>(cb.pLabel), static_cast<size_t>(cb.nLabelLength));
                text.push_back(u' ');
            }
            text += BlockText(page, cb);
        }
        AppendU16(text, out);
    }
    if (row >= 0)
        out->push_back(']');
    out->push_back(']');
}

void AppendBlock(const stPdfPageLayout& page, const stPdfBlock& b, std::string* out)
{
    const int kind = b.nKind >= 0 && b.nKind <= PDF_BLOCK_FOOTNOTE ? b.nKind : 0;
    out->append("{\"kind\":");
    AppendString(kKinds[kind], out);
    char buf[160];
    std::snprintf(buf, sizeof buf, ",\"section\":%d,\"column\":%d,\"box\":", b.nSection, b.nColumn);
    out->append(buf);
    AppendBox(b.fLeft, b.fTop, b.fRight, b.fBottom, out);
    if (b.nKind == PDF_BLOCK_TABLE && b.nTable >= 0 && b.nTable < page.nTableCount) {
        AppendTable(page, *page.ppTables[b.nTable], out);
        out->push_back('}');
        return;
    }
    if (b.nKind == PDF_BLOCK_IMAGE && b.nImage >= 0 && b.nImage < page.nImageCount) {
        const stPdfImage* img = page.ppImages[b.nImage]->pImage;
        const bool jpeg = img->nDataSize > 2 && img->data[0] == 0xFF && img->data[1] == 0xD8;
        std::snprintf(buf, sizeof buf, ",\"image\":{\"width\":%d,\"height\":%d,\"format\":\"%s\",\"bytes\":%d}}",
                      img->nWidth, img->nHeight, jpeg ? "jpeg" : "png", img->nDataSize);
        out->append(buf);
        return;
    }
    std::u16string text;
    if (b.nLabelLength > 0) {
        text.append(reinterpret_cast<const char16_t*>(b.pLabel), static_cast<size_t>(b.nLabelLength));
        text.push_back(u' ');
    }
    text += BlockText(page, b);
    if (b.nKind == PDF_BLOCK_CONTENTS && b.nPageRefLength > 0) {
        text.push_back(u'\t');
        text.append(reinterpret_cast<const char16_t*>(b.pPageRef), static_cast<size_t>(b.nPageRefLength));
    }
    out->append(",\"text\":");
    AppendU16(text, out);
    std::snprintf(buf, sizeof buf, ",\"lines\":%d,\"align\":\"%s\",\"indent\":[", b.nLineCount,
                  kAligns[b.nAlign >= 0 && b.nAlign <= 3 ? b.nAlign : 0]);
    out->append(buf);
    AppendNumber(b.fLeftIndent, out);
    out->push_back(',');
    AppendNumber(b.fFirstLineIndent, out);
    out->push_back(',');
    AppendNumber(b.fRightIndent, out);
    out->append("],\"line_spacing\":");
    AppendNumber(b.fLineSpacing, out);
    out->append(",\"space_before\":");
    AppendNumber(b.fSpaceBefore, out);
    AppendStyle(page, b, out);
    if (b.nFlags & PDF_BLOCK_CONTINUED)
        out->append(",\"continued\":true");
    if (b.nHeadingLevel > 0) {
        std::snprintf(buf, sizeof buf, ",\"level\":%d", b.nHeadingLevel);
        out->append(buf);
    }
    if (b.nLabelLength > 0) {
        out->append(",\"label\":");
        AppendU16(std::u16string(reinterpret_cast<const char16_t*>(b.pLabel), static_cast<size_t>(b.nLabelLength)),
                  out);
    }
    if (b.nKind == PDF_BLOCK_CONTENTS) {
        out->append(",\"leader\":");
        AppendString(kLeaders[b.nLeader >= 0 && b.nLeader <= 4 ? b.nLeader : 0], out);
    }
    if (b.nPageRefLength > 0) {
        out->append(",\"page_ref\":");
        AppendU16(std::u16string(reinterpret_cast<const char16_t*>(b.pPageRef), static_cast<size_t>(b.nPageRefLength)),
                  out);
    }
    out->push_back('}');
}

}  // namespace

void AppendLayoutJson(const stPdfPageLayout& page, std::string* out)
{
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "{\"number\":%d,\"width\":%.1f,\"height\":%.1f,\"rotate\":%d,\"text_turn\":%d,"
                  "\"vertical\":%s,\"columns\":%d,\"content\":",
                  page.nPageNumber, page.fWidth, page.fHeight, page.nRotate, page.nTextTurn,
                  page.nWritingMode == PDF_WRITING_VERTICAL ? "true" : "false", page.nColumnCount);
    out->append(buf);
    AppendBox(page.fContentLeft, page.fContentTop, page.fContentRight, page.fContentBottom, out);
    out->append(",\"sections\":[");
    for (int s = 0; s < page.nSectionCount; ++s) {
        const stPdfSection& sec = *page.ppSections[s];
        if (s)
            out->push_back(',');
        out->append("{\"top\":");
        AppendNumber(sec.fTop, out);
        out->append(",\"bottom\":");
        AppendNumber(sec.fBottom, out);
        out->append(",\"columns\":[");
        for (int k = 0; k < sec.nColumnCount && k < 4; ++k) {
            if (k)
                out->push_back(',');
            out->push_back('[');
            AppendNumber(sec.fColumnLeft[k], out);
            out->push_back(',');
            AppendNumber(sec.fColumnRight[k], out);
            out->push_back(']');
        }
        out->append("]}");
    }
    std::snprintf(buf, sizeof buf, "],\"rules\":%d,\"blocks\":[", page.nRuleCount);
    out->append(buf);
    for (int i = 0; i < page.nBlockCount; ++i) {
        if (i)
            out->append(",\n");
        AppendBlock(page, *page.ppBlocks[i], out);
    }
    out->append("]}");
}
