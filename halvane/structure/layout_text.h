// Text helpers of the structure analysis: a line's text, its main type size, its first word.
#ifndef HALVANE_STRUCTURE_LAYOUT_TEXT_H
#define HALVANE_STRUCTURE_LAYOUT_TEXT_H

#include <string>

#include "halvane/structure/layout_model.h"

namespace halvane {

std::u16string LineText(const LayoutLine& line);
// The size most of the line's characters are set in; 0 for a line without text.
double LineSize(const LayoutLine& line);
// Width on the page of the line's first word (its first character in CJK text).
double FirstWordWidth(const LayoutLine& line);
// Every visible run of the line is bold.
bool LineIsBold(const LayoutLine& line);
bool IsSpaceChar(char16_t c);
// The text without white space at either end.
std::u16string Trimmed(const std::u16string& s);
// Whether the text has a letter, digit or CJK character.
bool HasWordChar(const std::u16string& s);
std::string ToUtf8(const std::u16string& s);

}  // namespace halvane

#endif
