// Turns the font name a PDF gives a run ("ABCDEF+TimesNewRomanPS-BoldMT", "SimSun,Bold",
// "STSong-Light", GBK bytes of a Chinese name) into a font family that Word and LibreOffice
// know, plus the bold and italic that the name carries.
#ifndef MORVANE_STROME_CORE_FONT_NAMES_H
#define MORVANE_STROME_CORE_FONT_NAMES_H

#include <stddef.h>

#include <string>

namespace strome {

struct FontChoice {
    std::string family;  // UTF-8; empty: the document's default font
    bool latinOnly = false;  // a known font without Chinese glyphs: East Asian text keeps the default
    bool bold = false;
    bool italic = false;
};

// name: 8-bit bytes, at most maxLength of them are read, up to the first zero.
FontChoice MapPdfFontName(const char* name, size_t maxLength);

}  // namespace strome

#endif
