#include "text_format.h"

#include <string.h>

#include <algorithm>

#include "layout_access.h"
#include "layout_rules.h"
#include "units.h"

namespace faithful {

namespace {

// Copies a zero-terminated UTF-8 name of at most source bytes into a field, never splitting a
// character at the cut.
void CopyName(char* field, size_t fieldSize, const char* name, size_t sourceSize)
{
    size_t n = strnlen(name, sourceSize);
    if (n > fieldSize - 1) {
        n = fieldSize - 1;
        while (n > 0 && ((unsigned char)name[n] & 0xC0) == 0x80)
            --n;
    }
    memcpy(field, name, n);
    field[n] = 0;
}

bool HasCjk(const qrn_wchar* text, int length)
{
    for (int i = 0; i < length; ++i)
        if (IsCjk((char16_t)text[i]))
            return true;
    return false;
}

// Families that Word users have, or that LibreOffice replaces by one of the same widths. Any
// other family (an embedded TeX or designer font) would be replaced by a default font of quite
// other widths, re-wrapping every line; it becomes the standard family of its kind instead.
const char* const kCommonFamilies[] = {"Arial",
                                       "Arial Narrow",
                                       "Times New Roman",
                                       "Courier New",
                                       "Calibri",
                                       "Cambria",
                                       "Candara",
                                       "Consolas",
                                       "Constantia",
                                       "Corbel",
                                       "Georgia",
                                       "Verdana",
                                       "Tahoma",
                                       "Trebuchet MS",
                                       "Segoe UI",
                                       "Garamond",
                                       "Book Antiqua",
                                       "Bookman Old Style",
                                       "Century Gothic",
                                       "Century Schoolbook",
                                       "Palatino Linotype",
                                       "Lucida Console",
                                       "Lucida Sans Unicode",
                                       "Symbol",
                                       "Wingdings",
                                       "Webdings",
                                       "Impact",
                                       "Comic Sans MS",
                                       "Liberation Serif",
                                       "Liberation Sans",
                                       "Liberation Mono",
                                       "Liberation Sans Narrow",
                                       "DejaVu Serif",
                                       "DejaVu Sans",
                                       "DejaVu Sans Mono",
                                       "Carlito",
                                       "Caladea",
                                       "SimSun",
                                       "NSimSun",
                                       "SimHei",
                                       "KaiTi",
                                       "FangSong",
                                       "Microsoft YaHei",
                                       "Microsoft JhengHei",
                                       "PMingLiU",
                                       "MingLiU",
                                       "DengXian",
                                       "MS Mincho",
                                       "MS Gothic",
                                       "MS PMincho",
                                       "MS PGothic",
                                       "Yu Mincho",
                                       "Yu Gothic",
                                       "Meiryo",
                                       "Malgun Gothic",
                                       "Batang",
                                       "Gulim",
                                       "Dotum",
                                       "Noto Serif CJK SC",
                                       "Noto Sans CJK SC",
                                       "Noto Serif",
                                       "Noto Sans"};

// Names of the base fonts of PDF and their families on Word's side.
const char* const kBaseFamilies[][2] = {{"Helvetica", "Arial"},
                                        {"Times", "Times New Roman"},
                                        {"Times-Roman", "Times New Roman"},
                                        {"Courier", "Courier New"}};

bool Common(const char* family)
{
    for (const char* f : kCommonFamilies)
        if (strcmp(f, family) == 0)
            return true;
    return false;
}

// The family a run is written in: its own where the reader's user has it, else the standard
// family of its kind (fixed pitch, serif, sans serif).
void ChooseFamily(const stPdfTextRun& run, bool cjk, char* field, size_t size)
{
    char family[sizeof run.szFontFamily];
    CopyName(family, sizeof family, run.szFontFamily, sizeof run.szFontFamily);
    for (const auto& base : kBaseFamilies)
        if (strcmp(family, base[0]) == 0) {
            CopyName(field, size, base[1], strlen(base[1]) + 1);
            return;
        }
    if (Common(family)) {
        CopyName(field, size, family, sizeof family);
        return;
    }
    const char* standard = (run.nFlags & PDF_STYLE_FIXED_PITCH) ? "Courier New"
                           : (run.nFlags & PDF_STYLE_SERIF)     ? (cjk ? "SimSun" : "Times New Roman")
                                                                : (cjk ? "SimHei" : "Arial");
    CopyName(field, size, standard, strlen(standard) + 1);
}

}  // namespace

bool IsCjk(char16_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

stRunFormat RunFormatOf(const stPdfTextRun& run)
{
    stRunFormat f = {};
    f.cbSize = sizeof f;
    ChooseFamily(run, false, f.szFont, sizeof f.szFont);
    if (run.pText && run.nLength > 0 && HasCjk(run.pText, std::min(run.nLength, 4096)))
        ChooseFamily(run, true, f.szEastAsiaFont, sizeof f.szEastAsiaFont);
    double size = run.fSize > 0 && run.fSize < 1600 ? run.fSize : 10;
    if (run.nFlags & (PDF_STYLE_SUPERSCRIPT | PDF_STYLE_SUBSCRIPT)) {
        f.nVertAlign = (run.nFlags & PDF_STYLE_SUPERSCRIPT) ? STROME_VERTALIGN_SUPERSCRIPT : STROME_VERTALIGN_SUBSCRIPT;
        size /= kScriptShrink;
    }
    f.nSize = HalfPoints(size);
    f.nColor = (int32_t)(run.nColor & 0x00FFFFFFu);
    if (run.nFlags & PDF_STYLE_BOLD)
        f.nFlags |= STROME_RUN_BOLD;
    if (run.nFlags & PDF_STYLE_ITALIC)
        f.nFlags |= STROME_RUN_ITALIC;
    if (run.nFlags & PDF_STYLE_STRIKE)
        f.nFlags |= STROME_RUN_STRIKE;
    if (run.nFlags & PDF_STYLE_UNDERLINE)
        f.nUnderline = STROME_UNDERLINE_SINGLE;
    if (run.fCharSpacing == run.fCharSpacing && fabs(run.fCharSpacing) >= kMinCharSpacing)
        f.nCharSpacing = Scaled(run.fCharSpacing, 20.0, -1584, 1584);
    return f;
}

bool SameFormat(const stRunFormat& a, const stRunFormat& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

void Append(std::vector<Piece>& pieces, const std::u16string& text, const stRunFormat& format)
{
    if (text.empty())
        return;
    if (!pieces.empty() && SameFormat(pieces.back().format, format))
        pieces.back().text += text;
    else
        pieces.push_back(Piece{text, format});
}

std::u16string CleanText(const qrn_wchar* text, int length)
{
    std::u16string out;
    if (!text || length <= 0)
        return out;
    out.reserve((size_t)length);
    for (int i = 0; i < length; ++i) {
        const char16_t c = (char16_t)text[i];
        out += c < 0x20 || c == 0x7F ? u' ' : c;
    }
    return out;
}

std::vector<Piece> LinePieces(const stPdfPageLayout& page, int first, int count)
{
    std::vector<Piece> pieces;
    if (!RangeInside(first, count, page.nLineCount))
        return pieces;
    for (int i = first; i < first + count; ++i) {
        const stPdfTextLine* line = LineAt(page, i);
        if (!line || !RangeInside(line->nFirstRun, line->nRunCount, page.nRunCount))
            continue;
        // The join to the line before.
        if (!pieces.empty() && i > first) {
            const stPdfTextLine* before = LineAt(page, i - 1);
            const std::u16string& last = pieces.back().text;
            const char16_t end = last.empty() ? u' ' : last.back();
            const stPdfTextRun* next = line->nRunCount > 0 ? RunAt(page, line->nFirstRun) : nullptr;
            const char16_t start = next && next->pText && next->nLength > 0 ? (char16_t)next->pText[0] : u' ';
            if (before && (before->nFlags & PDF_LINE_BREAK_AFTER))
                Append(pieces, u"\n", pieces.back().format);
            else if (before && (before->nFlags & PDF_LINE_HYPHEN_JOINED))
                ;
            else if (end != u' ' && end != u'\n' && !(IsCjk(end) && IsCjk(start)) && !IsCjk(end))
                Append(pieces, u" ", pieces.back().format);
        }
        for (int r = line->nFirstRun; r < line->nFirstRun + line->nRunCount; ++r) {
            const stPdfTextRun* run = RunAt(page, r);
            if (!run || (run->nFlags & PDF_STYLE_INVISIBLE))
                continue;
            Append(pieces, CleanText(run->pText, run->nLength), RunFormatOf(*run));
        }
    }
    return pieces;
}

void WritePieces(qrn_IDocxPara* para, const std::vector<Piece>& pieces)
{
    for (const Piece& p : pieces)
        if (!p.text.empty())
            para->AddTextEx(reinterpret_cast<const qrn_wchar*>(p.text.data()), (int)p.text.size(), &p.format);
}

}  // namespace faithful
