// The built-in /Encoding of a Type 1 font, read from the cleartext part (no eexec decryption).
#include <cstring>

#include "halvane/fonts/encodings.h"
#include "halvane/fonts/font_programs.h"

namespace halvane {
namespace {

// The cleartext part: the first ASCII segment of a PFB file, else everything up to "eexec".
std::string_view Cleartext(std::string_view data)
{
    if (data.size() >= 6 && static_cast<uint8_t>(data[0]) == 0x80 && data[1] == 1) {
        uint32_t length = static_cast<uint8_t>(data[2]) | (static_cast<uint8_t>(data[3]) << 8) |
                          (static_cast<uint8_t>(data[4]) << 16) |
                          (static_cast<uint32_t>(static_cast<uint8_t>(data[5])) << 24);
        return data.substr(6, length);
    }
    size_t eexec = data.find("eexec");
    return data.substr(0, eexec);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == 0;
}
bool IsDelimiter(char c)
{
    return c == '/' || c == '[' || c == ']' || c == '{' || c == '}' || c == '(' || c == ')' || c == '<' || c == '>' ||
           c == '%';
}

// Whitespace-separated PostScript tokens; names keep their '/'.
class Words {
public:
    explicit Words(std::string_view text) : text_(text) { }
    bool Next(std::string_view* word)
    {
        for (;;) {
            while (pos_ < text_.size() && IsSpace(text_[pos_]))
                ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '%') {
                while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r')
                    ++pos_;
                continue;
            }
            break;
        }
        if (pos_ >= text_.size())
            return false;
        size_t start = pos_;
        if (IsDelimiter(text_[pos_]) && text_[pos_] != '/') {
            ++pos_;
        } else {
            ++pos_;
            while (pos_ < text_.size() && !IsSpace(text_[pos_]) && !IsDelimiter(text_[pos_]))
                ++pos_;
        }
        *word = text_.substr(start, pos_ - start);
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// A code: decimal, or radix form such as 8#101.
bool ParseCode(std::string_view word, int* code)
{
    int base = 10, value = 0;
    size_t hash = word.find('#');
    if (hash != std::string_view::npos) {
        if (word.substr(0, hash) == "8")
            base = 8;
        else if (word.substr(0, hash) == "16")
            base = 16;
        else
            return false;
        word.remove_prefix(hash + 1);
    }
    if (word.empty() || word.size() > 4)
        return false;
    for (char c : word) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : 99;
        if (d >= base)
            return false;
        value = value * base + d;
    }
    *code = value;
    return value < 256;
}

}  // namespace

bool ParseType1Encoding(std::string_view fontFile, BuiltInEncoding* encoding)
{
    std::string_view text = Cleartext(fontFile);
    size_t at = text.find("/Encoding");
    // "/Encoding" must be a whole name (not /EncodingFoo).
    while (at != std::string_view::npos && at + 9 < text.size() && !IsSpace(text[at + 9]) &&
           !IsDelimiter(text[at + 9])) {
        at = text.find("/Encoding", at + 9);
    }
    if (at == std::string_view::npos)
        return false;
    Words words(text.substr(at + 9));
    std::string_view w;
    if (!words.Next(&w))
        return false;
    encoding->names.assign(256, std::string());
    if (w == "StandardEncoding") {
        encoding->standard = true;
        const char* const* names = EncodingGlyphNames(BaseEncoding::Standard);
        for (int c = 0; c < 256; ++c)
            encoding->names[c] = names[c] ? names[c] : "";
        return true;
    }
    encoding->standard = false;
    // "dup <code> /<name> put" entries until the array is defined.
    bool any = false;
    std::string_view prev2, prev1;
    while (words.Next(&w)) {
        if (w == "def" || w == "readonly")
            break;
        int code;
        if (w.size() > 1 && w[0] == '/' && prev2 == "dup" && ParseCode(prev1, &code)) {
            std::string_view name = w.substr(1);
            encoding->names[code] = name == ".notdef" ? std::string() : std::string(name);
            any = true;
        }
        prev2 = prev1;
        prev1 = w;
    }
    return any;
}

}  // namespace halvane
