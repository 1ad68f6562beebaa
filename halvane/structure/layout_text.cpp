#include "halvane/structure/layout_text.h"

#include <map>

#include "halvane/layout/line_builder.h"

namespace halvane {

bool IsSpaceChar(char16_t c)
{
    return c == u' ' || c == u'\t' || c == 0x3000 || c == 0xA0;
}

std::u16string LineText(const LayoutLine& line)
{
    std::u16string s;
    for (const LayoutRun& r : line.runs)
        s += r.text;
    return s;
}

double LineSize(const LayoutLine& line)
{
    std::map<double, size_t> chars;
    for (const LayoutRun& r : line.runs)
        if (!r.text.empty())
            chars[r.size] += r.text.size();
    double best = 0;
    size_t most = 0;
    for (const auto& c : chars)
        if (c.second > most) {
            most = c.second;
            best = c.first;
        }
    return best;
}

double FirstWordWidth(const LayoutLine& line)
{
    for (const LayoutRun& r : line.runs) {
        if (r.text.empty())
            continue;
        size_t start = 0;
        while (start < r.text.size() && IsSpaceChar(r.text[start]))
            ++start;
        if (start == r.text.size())
            continue;
        size_t end = start;
        if (StartsWithCjk(r.text.substr(start)))
            end = start + 1;
        else
            while (end < r.text.size() && !IsSpaceChar(r.text[end]))
                ++end;
        const double perChar = r.box.Width() / static_cast<double>(r.text.size());
        return perChar * static_cast<double>(end - start);
    }
    return 0;
}

bool LineIsBold(const LayoutLine& line)
{
    bool any = false;
    for (const LayoutRun& r : line.runs) {
        if (!HasWordChar(r.text))
            continue;
        if (!(r.flags & PDF_STYLE_BOLD))
            return false;
        any = true;
    }
    return any;
}

std::u16string Trimmed(const std::u16string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && IsSpaceChar(s[a]))
        ++a;
    while (b > a && IsSpaceChar(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

bool HasWordChar(const std::u16string& s)
{
    for (char16_t c : s)
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 0xC0)
            if (!IsSpaceChar(c) && !(c >= 0x2000 && c <= 0x206F) && !(c >= 0x2500 && c <= 0x27BF))
                return true;
    return false;
}

std::string ToUtf8(const std::u16string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string LayoutBlock::Text() const
{
    std::u16string s;
    for (const LayoutLine& l : lines) {
        std::u16string t = LineText(l);
        while (!t.empty() && IsSpaceChar(t.back()))
            t.pop_back();
        if (t.empty())
            continue;
        if (!s.empty() && !EndsWithCjk(s))
            s.push_back(u' ');
        s += t;
    }
    return s;
}

double LayoutBlock::MainSize() const
{
    std::map<double, size_t> chars;
    for (const LayoutLine& l : lines)
        for (const LayoutRun& r : l.runs)
            if (!r.text.empty())
                chars[r.size] += r.text.size();
    double best = 0;
    size_t most = 0;
    for (const auto& c : chars)
        if (c.second > most) {
            most = c.second;
            best = c.first;
        }
    return best;
}

}  // namespace halvane
