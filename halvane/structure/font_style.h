// What a font's name says about its family and style: "ABCDEF+TimesNewRomanPS-BoldItalicMT" is
// the family "Times New Roman", bold and italic.
#ifndef HALVANE_STRUCTURE_FONT_STYLE_H
#define HALVANE_STRUCTURE_FONT_STYLE_H

#include <cstdint>
#include <string>

namespace halvane {

// The family a word processor would list: no subset tag, no style or foundry suffix, words
// apart ("LiberationSerif" -> "Liberation Serif", "Arial,Bold" -> "Arial").
std::string CleanFamilyName(const std::string& fontName);

// The name as UTF-8: valid UTF-8 stays, other bytes (names in a legacy code page) are read as
// Latin-1, so the name is always safe to show and to write.
std::string NameAsUtf8(const std::string& name);

// PDF_STYLE_BOLD, _ITALIC, _SERIF, _FIXED_PITCH as the name tells them.
uint32_t StyleFlagsFromName(const std::string& fontName);

}  // namespace halvane

#endif
