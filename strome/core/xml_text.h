// The one place where text becomes XML: decoding of UTF-16 and UTF-8 input into code points,
// the filter of characters that XML 1.0 cannot carry, and escaping of markup characters.
#ifndef MORVANE_STROME_CORE_XML_TEXT_H
#define MORVANE_STROME_CORE_XML_TEXT_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "unicode_text.h"

namespace strome {

// True for the characters of the XML 1.0 Char production: tab, line feed, carriage return,
// U+0020..U+D7FF, U+E000..U+FFFD and U+10000..U+10FFFF.
bool IsXmlChar(uint32_t codePoint);

// Calls emit(codePoint) for each character of UTF-16 text. A surrogate pair gives one code
// point; a lone surrogate gives none.
using morvane::DecodeUtf16;

// Calls emit(codePoint) for each well-formed UTF-8 sequence; malformed bytes give nothing.
template <class Emit> void DecodeUtf8(const char* text, size_t length, Emit emit)
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        unsigned char b = s[i];
        int extra;
        uint32_t cp, min;
        if (b < 0x80) {
            emit(b);
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            cp = b & 0x1F;
            min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            cp = b & 0x0F;
            min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            cp = b & 0x07;
            min = 0x10000;
        } else {
            ++i;
            continue;
        }
        if (length - i <= size_t(extra)) {
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            ++i;
            continue;
        }
        emit(cp);
        i += extra + 1;
    }
}

void AppendUtf8(std::string& out, uint32_t codePoint);

// Where escaped text goes: character data escapes &, < and >; an attribute value (always
// written in double quotes) also escapes " and the white space that attribute normalisation
// would otherwise turn into plain spaces.
enum class XmlSlot { kText, kAttribute };

// Appends one character escaped for slot; characters XML cannot carry are dropped.
void AppendXmlChar(std::string& out, uint32_t codePoint, XmlSlot slot);

void AppendXmlEscaped(std::string& out, const char16_t* text, size_t length, XmlSlot slot);
void AppendXmlEscapedUtf8(std::string& out, const char* text, size_t length, XmlSlot slot);

}  // namespace strome

#endif
