// From the reader's styled runs and paragraph measures to the writer's run and paragraph
// formats, and a block's text as a list of styled pieces.
#ifndef MORVANE_CONVERT_FAITHFUL_TEXT_FORMAT_H
#define MORVANE_CONVERT_FAITHFUL_TEXT_FORMAT_H

#include <string>
#include <vector>

#include "halvane.h"
#include "strome.h"

namespace faithful {

// A piece of a paragraph's text in one format; text may hold '\t' (a tab) and '\n' (a line break).
struct Piece {
    std::u16string text;
    stRunFormat format;
};

stRunFormat RunFormatOf(const stPdfTextRun& run);
bool SameFormat(const stRunFormat& a, const stRunFormat& b);

// Appends text in format, joining it to the last piece when the format is the same.
void Append(std::vector<Piece>& pieces, const std::u16string& text, const stRunFormat& format);

// The text of lines [first, first + count) of the page as pieces: runs in order, lines that flow
// on joined with a space (none after a joined hyphen or between Chinese or Japanese characters),
// a line break after a line that breaks. Control characters become spaces.
std::vector<Piece> LinePieces(const stPdfPageLayout& page, int first, int count);

// UTF-16 text of a reader string, at most length units, control characters as spaces.
std::u16string CleanText(const qrn_wchar* text, int length);

bool IsCjk(char16_t c);

// Writes pieces into para; the piece text's tabs and line breaks go through as they are.
void WritePieces(qrn_IDocxPara* para, const std::vector<Piece>& pieces);

}  // namespace faithful

#endif
