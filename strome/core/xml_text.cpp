#include "xml_text.h"

namespace strome {

bool IsXmlChar(uint32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    return c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void AppendXmlChar(std::string& out, uint32_t c, XmlSlot slot)
{
    if (!IsXmlChar(c))
        return;
    switch (c) {
    case '&':
        out += "&amp;";
        return;
    case '<':
        out += "&lt;";
        return;
    case '>':
        out += "&gt;";
        return;
    case '\r':
        out += "&#13;";
        return;  // a raw CR would be read back as LF
    default:
        break;
    }
    if (slot == XmlSlot::kAttribute) {
        switch (c) {
        case '"':
            out += "&quot;";
            return;
        case '\t':
            out += "&#9;";
            return;
        case '\n':
            out += "&#10;";
            return;
        default:
            break;
        }
    }
    AppendUtf8(out, c);
}

void AppendXmlEscaped(std::string& out, const char16_t* text, size_t length, XmlSlot slot)
{
    DecodeUtf16(text, length, [&](uint32_t c) { AppendXmlChar(out, c, slot); });
}

void AppendXmlEscapedUtf8(std::string& out, const char* text, size_t length, XmlSlot slot)
{
    DecodeUtf8(text, length, [&](uint32_t c) { AppendXmlChar(out, c, slot); });
}

}  // namespace strome
