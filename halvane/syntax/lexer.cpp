#include "halvane/syntax/lexer.h"

namespace halvane {

namespace {

int HexValue(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Literal strings nest parentheses; deeper nesting than this is treated as text.
constexpr int kMaxStringNesting = 10000;

}  // namespace

void Lexer::SkipWhite()
{
    while (pos_ < size_) {
        const uint8_t c = data_[pos_];
        if (IsPdfWhite(c)) {
            ++pos_;
        } else if (c == '%') {
            while (pos_ < size_ && data_[pos_] != '\n' && data_[pos_] != '\r')
                ++pos_;
        } else {
            break;
        }
    }
}

bool Lexer::Next(Token& tok)
{
    SkipWhite();
    tok.text.clear();
    tok.start = pos_;
    if (pos_ >= size_) {
        tok.type = TokType::Eof;
        return false;
    }
    const uint8_t c = data_[pos_];
    switch (c) {
    case '[':
        ++pos_;
        tok.type = TokType::ArrayOpen;
        return true;
    case ']':
        ++pos_;
        tok.type = TokType::ArrayClose;
        return true;
    case '<':
        if (pos_ + 1 < size_ && data_[pos_ + 1] == '<') {
            pos_ += 2;
            tok.type = TokType::DictOpen;
            return true;
        }
        ReadHexString(tok);
        return true;
    case '>':
        if (pos_ + 1 < size_ && data_[pos_ + 1] == '>') {
            pos_ += 2;
            tok.type = TokType::DictClose;
            return true;
        }
        ++pos_;
        tok.type = TokType::Bad;
        return true;
    case '(':
        ReadLiteralString(tok);
        return true;
    case '/':
        ReadName(tok);
        return true;
    case ')':
    case '{':
    case '}':
        ++pos_;
        tok.type = TokType::Bad;
        tok.text.assign(1, static_cast<char>(c));
        return true;
    default:
        break;
    }
    if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') {
        ReadNumber(tok);
        return true;
    }
    // A keyword runs to the next white space or delimiter.
    const size_t begin = pos_;
    while (pos_ < size_ && !IsPdfWhite(data_[pos_]) && !IsPdfDelimiter(data_[pos_]))
        ++pos_;
    tok.type = TokType::Keyword;
    tok.text.assign(reinterpret_cast<const char*>(data_ + begin), pos_ - begin);
    return true;
}

void Lexer::ReadNumber(Token& tok)
{
    bool negative = false;
    // Producers write "--5" or "+-5"; take the last sign.
    while (pos_ < size_ && (data_[pos_] == '+' || data_[pos_] == '-')) {
        negative = data_[pos_] == '-';
        ++pos_;
    }
    int64_t whole = 0;
    bool overflow = false;
    double real = 0;
    bool isReal = false;
    size_t digits = 0;
    while (pos_ < size_ && data_[pos_] >= '0' && data_[pos_] <= '9') {
        const int d = data_[pos_] - '0';
        if (whole > (INT64_MAX - d) / 10)
            overflow = true;
        else
            whole = whole * 10 + d;
        real = real * 10 + d;
        ++pos_;
        ++digits;
    }
    if (pos_ < size_ && data_[pos_] == '.') {
        isReal = true;
        ++pos_;
        double scale = 0.1;
        while (pos_ < size_ && data_[pos_] >= '0' && data_[pos_] <= '9') {
            real += (data_[pos_] - '0') * scale;
            scale *= 0.1;
            ++pos_;
            ++digits;
        }
        // Tolerate junk such as "1.2.3" or "0.5-": skip the rest of the number-like run.
        while (pos_ < size_ && ((data_[pos_] >= '0' && data_[pos_] <= '9') || data_[pos_] == '.'))
            ++pos_;
    }
    if (isReal || overflow) {
        tok.type = TokType::Real;
        tok.r = negative ? -real : real;
        tok.i = static_cast<int64_t>(tok.r > 9e18 ? 9e18 : (tok.r < -9e18 ? -9e18 : tok.r));
    } else {
        tok.type = TokType::Int;
        tok.i = negative ? -whole : whole;
        tok.r = static_cast<double>(tok.i);
    }
    (void)digits;
}

void Lexer::ReadName(Token& tok)
{
    ++pos_;  // slash
    tok.type = TokType::Name;
    while (pos_ < size_) {
        const uint8_t c = data_[pos_];
        if (IsPdfWhite(c) || IsPdfDelimiter(c))
            break;
        if (c == '#' && pos_ + 2 < size_ && HexValue(data_[pos_ + 1]) >= 0 && HexValue(data_[pos_ + 2]) >= 0) {
            tok.text.push_back(static_cast<char>(HexValue(data_[pos_ + 1]) * 16 + HexValue(data_[pos_ + 2])));
            pos_ += 3;
            continue;
        }
        tok.text.push_back(static_cast<char>(c));
        ++pos_;
    }
}

void Lexer::ReadLiteralString(Token& tok)
{
    ++pos_;  // opening parenthesis
    tok.type = TokType::String;
    int depth = 1;
    while (pos_ < size_) {
        uint8_t c = data_[pos_++];
        if (c == '(') {
            if (depth < kMaxStringNesting)
                ++depth;
            tok.text.push_back('(');
        } else if (c == ')') {
            if (--depth == 0)
                return;
            tok.text.push_back(')');
        } else if (c == '\\') {
            if (pos_ >= size_)
                return;
            c = data_[pos_++];
            switch (c) {
            case 'n':
                tok.text.push_back('\n');
                break;
            case 'r':
                tok.text.push_back('\r');
                break;
            case 't':
                tok.text.push_back('\t');
                break;
            case 'b':
                tok.text.push_back('\b');
                break;
            case 'f':
                tok.text.push_back('\f');
                break;
            case '\r':
                if (pos_ < size_ && data_[pos_] == '\n')
                    ++pos_;
                break;
            case '\n':
                break;
            default:
                if (c >= '0' && c <= '7') {
                    int v = c - '0';
                    for (int k = 0; k < 2 && pos_ < size_ && data_[pos_] >= '0' && data_[pos_] <= '7'; ++k)
                        v = v * 8 + (data_[pos_++] - '0');
                    tok.text.push_back(static_cast<char>(v & 0xFF));
                } else {
                    tok.text.push_back(static_cast<char>(c));
                }
            }
        } else if (c == '\r') {
            // An end of line inside a string reads as a single line feed.
            if (pos_ < size_ && data_[pos_] == '\n')
                ++pos_;
            tok.text.push_back('\n');
        } else {
            tok.text.push_back(static_cast<char>(c));
        }
    }
}

void Lexer::ReadHexString(Token& tok)
{
    ++pos_;  // '<'
    tok.type = TokType::String;
    int high = -1;
    while (pos_ < size_) {
        const uint8_t c = data_[pos_++];
        if (c == '>')
            break;
        const int v = HexValue(c);
        if (v < 0)
            continue;  // white space and junk are skipped
        if (high < 0) {
            high = v;
        } else {
            tok.text.push_back(static_cast<char>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0)
        tok.text.push_back(static_cast<char>(high * 16));
}

}  // namespace halvane
