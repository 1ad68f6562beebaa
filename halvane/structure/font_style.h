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

// PDF_STYLE_BOLD, _ITALIC, _SERIF, _FIXED_PITCH as the name tells them.
uint32_t StyleFlagsFromName(const std::string& fontName);

}  // namespace halvane

#endif
