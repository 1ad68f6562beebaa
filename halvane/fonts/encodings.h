// Base encodings of simple fonts (glyph names by code) and PDFDocEncoding for text strings.
#ifndef HALVANE_FONTS_ENCODINGS_H
#define HALVANE_FONTS_ENCODINGS_H

#include <cstdint>
#include <string_view>

namespace halvane {

enum class BaseEncoding { Standard, WinAnsi, MacRoman, MacExpert, Symbol, ZapfDingbats, PdfDoc };

// 256 glyph names indexed by code; null where the encoding leaves a code unused.
const char* const* EncodingGlyphNames(BaseEncoding encoding);

// Maps an /Encoding or /BaseEncoding name ("WinAnsiEncoding", ...) to its table.
// Symbol and ZapfDingbats have no such name (they are only fonts' built-in encodings).
bool LookupBaseEncoding(std::string_view name, BaseEncoding* encoding);

// PDFDocEncoding byte to UTF-16 unit; 0 for the codes the encoding leaves undefined
// (control codes other than tab, line feed and carriage return, 0x7F, 0x9F, 0xAD).
char16_t PdfDocToUnicode(uint8_t code);

}  // namespace halvane

#endif  // HALVANE_FONTS_ENCODINGS_H
