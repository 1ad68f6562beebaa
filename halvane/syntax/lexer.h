// Tokenizer for PDF syntax (ISO 32000-1, 7.2): numbers, names, literal and hexadecimal strings,
// delimiters and bare keywords. It never reads outside [data, data + size) and turns anything
// it cannot make sense of into a Bad token rather than failing.
#ifndef HALVANE_LEXER_H
#define HALVANE_LEXER_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace halvane {

enum class TokType : uint8_t {
    Eof,
    Int,
    Real,
    Name,  // text without the slash, #xx escapes decoded
    String,  // literal or hex string, decoded bytes
    Keyword,  // true, false, null, obj, R, operators, ...
    ArrayOpen,
    ArrayClose,
    DictOpen,
    DictClose,
    Bad,  // a stray delimiter such as ')' or '{'
};

struct Token {
    TokType type = TokType::Eof;
    int64_t i = 0;
    double r = 0;
    std::string text;  // name, string bytes or keyword
    size_t start = 0;  // offset of the token's first byte

    bool IsKeyword(const char* kw) const { return type == TokType::Keyword && text == kw; }
};

inline bool IsPdfWhite(uint8_t c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == 0;
}

inline bool IsPdfDelimiter(uint8_t c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' || c == '/' ||
           c == '%';
}

class Lexer {
public:
    Lexer(const uint8_t* data, size_t size, size_t pos = 0)
        : data_(data), size_(size), pos_(pos < size ? pos : size) { }

    // Reads the next token into tok. Returns false at the end of the data.
    bool Next(Token& tok);
    // Skips white space and comments.
    void SkipWhite();

    size_t Pos() const { return pos_; }
    void Seek(size_t pos) { pos_ = pos < size_ ? pos : size_; }
    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    void ReadNumber(Token& tok);
    void ReadName(Token& tok);
    void ReadLiteralString(Token& tok);
    void ReadHexString(Token& tok);

    const uint8_t* data_;
    size_t size_;
    size_t pos_;
};

}  // namespace halvane

#endif
