// Reading CMap programs. They are PostScript, but only a handful of operators matter; the rest
// is skipped token by token, so damage stays local to the entry it hits.
#include <cstring>

#include "halvane/fonts/cmap.h"
#include "halvane/fonts/glyph_names.h"

namespace halvane {
namespace {

enum class TokenType { End, String, Name, Integer, Keyword, ArrayOpen, ArrayClose, Other };

struct Token {
    TokenType type = TokenType::End;
    std::string text;  // string bytes, name or keyword
    int64_t number = 0;
};

bool IsWhite(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == 0;
}
bool IsDelimiter(uint8_t c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' || c == '/' ||
           c == '%';
}
int HexDigit(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Tokenizer {
public:
    explicit Tokenizer(std::string_view data) : data_(data) { }

    Token Next()
    {
        if (hasPushed_) {
            hasPushed_ = false;
            return std::move(pushed_);
        }
        return Read();
    }
    void PushBack(Token t)
    {
        pushed_ = std::move(t);
        hasPushed_ = true;
    }

private:
    // Strings longer than this are cut (the rest is still consumed): no mapping needs more.
    static constexpr size_t kMaxString = 1024;

    uint8_t At(size_t i) const { return static_cast<uint8_t>(data_[i]); }

    Token Read()
    {
        Token t;
        for (;;) {
            while (pos_ < data_.size() && IsWhite(At(pos_)))
                ++pos_;
            if (pos_ < data_.size() && At(pos_) == '%') {
                while (pos_ < data_.size() && At(pos_) != '\n' && At(pos_) != '\r')
                    ++pos_;
                continue;
            }
            break;
        }
        if (pos_ >= data_.size())
            return t;
        uint8_t c = At(pos_);
        if (c == '<' && pos_ + 1 < data_.size() && At(pos_ + 1) == '<') {
            pos_ += 2;
            t.type = TokenType::Other;
        } else if (c == '>' && pos_ + 1 < data_.size() && At(pos_ + 1) == '>') {
            pos_ += 2;
            t.type = TokenType::Other;
        } else if (c == '<') {
            ReadHexString(&t);
        } else if (c == '(') {
            ReadLiteralString(&t);
        } else if (c == '/') {
            ++pos_;
            t.type = TokenType::Name;
            t.text = ReadRegular();
        } else if (c == '[' || c == ']') {
            ++pos_;
            t.type = c == '[' ? TokenType::ArrayOpen : TokenType::ArrayClose;
        } else if (IsDelimiter(c)) {
            ++pos_;  // stray '>', ')', '{', '}'
            t.type = TokenType::Other;
        } else {
            t.text = ReadRegular();
            t.type = ParseInteger(t.text, &t.number) ? TokenType::Integer : TokenType::Keyword;
        }
        return t;
    }

    std::string ReadRegular()
    {
        size_t start = pos_;
        while (pos_ < data_.size() && !IsWhite(At(pos_)) && !IsDelimiter(At(pos_)))
            ++pos_;
        return std::string(data_.substr(start, pos_ - start));
    }

    static bool ParseInteger(const std::string& s, int64_t* value)
    {
        size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
        if (i == s.size())
            return false;
        int64_t v = 0;
        for (; i < s.size(); ++i) {
            if (s[i] == '.')
                break;  // a real: its integer part will do
            if (s[i] < '0' || s[i] > '9')
                return false;
            if (v < (int64_t{1} << 40))
                v = v * 10 + (s[i] - '0');
        }
        *value = s[0] == '-' ? -v : v;
        return true;
    }

    void ReadHexString(Token* t)
    {
        ++pos_;
        t->type = TokenType::String;
        int high = -1;
        while (pos_ < data_.size() && At(pos_) != '>') {
            int d = HexDigit(At(pos_++));
            if (d < 0)
                continue;  // whitespace, or junk that cannot be a digit
            if (high < 0) {
                high = d;
            } else {
                if (t->text.size() < kMaxString)
                    t->text.push_back(static_cast<char>(high * 16 + d));
                high = -1;
            }
        }
        if (high >= 0 && t->text.size() < kMaxString)
            t->text.push_back(static_cast<char>(high * 16));
        if (pos_ < data_.size())
            ++pos_;  // '>'
    }

    void ReadLiteralString(Token* t)
    {
        ++pos_;
        t->type = TokenType::String;
        int depth = 1;
        while (pos_ < data_.size()) {
            uint8_t c = At(pos_++);
            if (c == '\\' && pos_ < data_.size()) {
                uint8_t e = At(pos_++);
                int value = e;
                switch (e) {
                case 'n':
                    value = '\n';
                    break;
                case 'r':
                    value = '\r';
                    break;
                case 't':
                    value = '\t';
                    break;
                case 'b':
                    value = '\b';
                    break;
                case 'f':
                    value = '\f';
                    break;
                case '\r':
                    if (pos_ < data_.size() && At(pos_) == '\n')
                        ++pos_;
                    continue;
                case '\n':
                    continue;
                default:
                    if (e >= '0' && e <= '7') {
                        value = e - '0';
                        for (int k = 0; k < 2 && pos_ < data_.size() && At(pos_) >= '0' && At(pos_) <= '7'; ++k) {
                            value = value * 8 + (At(pos_++) - '0');
                        }
                    }
                }
                if (t->text.size() < kMaxString)
                    t->text.push_back(static_cast<char>(value & 0xFF));
                continue;
            }
            if (c == '(')
                ++depth;
            if (c == ')' && --depth == 0)
                break;
            if (t->text.size() < kMaxString)
                t->text.push_back(static_cast<char>(c));
        }
    }

    std::string_view data_;
    size_t pos_ = 0;
    Token pushed_;
    bool hasPushed_ = false;
};

// A source code: a string of 1 to 4 bytes, big-endian.
bool SourceCode(const Token& t, uint32_t* code, int* bytes)
{
    if (t.type != TokenType::String || t.text.empty() || t.text.size() > 4)
        return false;
    uint32_t v = 0;
    for (char c : t.text)
        v = (v << 8) | static_cast<uint8_t>(c);
    *code = v;
    *bytes = static_cast<int>(t.text.size());
    return true;
}

// A destination: UTF-16BE bytes (an odd count gets a leading zero byte), or a glyph name.
std::u16string DestinationText(const Token& t)
{
    std::u16string out;
    if (t.type == TokenType::Name) {
        GlyphNameToUnicode(t.text, &out);
        return out;
    }
    if (t.type != TokenType::String)
        return out;
    std::string bytes = t.text;
    if (bytes.size() % 2)
        bytes.insert(bytes.begin(), '\0');
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(
            static_cast<char16_t>((static_cast<uint8_t>(bytes[i]) << 8) | static_cast<uint8_t>(bytes[i + 1])));
    }
    return out;
}

bool IsCid(const Token& t)
{
    return t.type == TokenType::Integer && t.number >= 0 && t.number <= 0xFFFFFFFF;
}

class Parser {
public:
    Parser(std::string_view program, CMap* cmap, const CMap::Resolver& resolver)
        : tokens_(program), cmap_(cmap), resolver_(resolver)
    { }

    void Run()
    {
        Token previous;
        size_t tokenBudget = 1u << 24;  // every token advances; this only bounds pathological input
        for (Token t = tokens_.Next(); t.type != TokenType::End && tokenBudget-- > 0; t = tokens_.Next()) {
            if (t.type == TokenType::Keyword) {
                const std::string& k = t.text;
                if (k == "begincodespacerange")
                    Codespaces();
                else if (k == "begincidrange")
                    Ranges(false);
                else if (k == "beginnotdefrange")
                    Ranges(true);
                else if (k == "begincidchar")
                    Chars(false);
                else if (k == "beginnotdefchar")
                    Chars(true);
                else if (k == "beginbfchar")
                    BfChars();
                else if (k == "beginbfrange")
                    BfRanges();
                else if (k == "usecmap" && previous.type == TokenType::Name)
                    UseCMap(previous.text);
            } else if (previous.type == TokenType::Name) {
                if (previous.text == "WMode" && t.type == TokenType::Integer)
                    cmap_->SetVertical(t.number == 1);
                if (previous.text == "CMapName" && t.type == TokenType::Name)
                    cmap_->SetName(t.text);
                if (previous.text == "Ordering" && t.type == TokenType::String)
                    cmap_->SetOrdering(t.text);
            }
            previous = std::move(t);
        }
    }

private:
    // Next token of a section: false at its end keyword, at the start of another section or
    // another structural keyword (the end is missing; the keyword goes back to the main loop), or
    // at the end of the data. Other stray words come back as entries that will not fit.
    bool SectionToken(Token* t)
    {
        *t = tokens_.Next();
        if (t->type == TokenType::End)
            return false;
        if (t->type == TokenType::Keyword) {
            const std::string& k = t->text;
            if (k.compare(0, 3, "end") == 0)
                return false;
            if (k.compare(0, 5, "begin") == 0 || k == "usecmap" || k == "def") {
                tokens_.PushBack(std::move(*t));
                return false;
            }
        }
        return true;
    }

    // Each entry is read whole (two or three tokens) before it is checked, so a bad entry costs
    // only itself and the following ones stay aligned.
    void Codespaces()
    {
        Token a, b;
        while (SectionToken(&a) && SectionToken(&b)) {
            uint32_t lo, hi;
            int loBytes, hiBytes;
            if (SourceCode(a, &lo, &loBytes) && SourceCode(b, &hi, &hiBytes) && loBytes == hiBytes) {
                cmap_->AddCodespace(loBytes, lo, hi);
            }
        }
    }

    void Ranges(bool notdef)
    {
        Token a, b, c;
        while (SectionToken(&a) && SectionToken(&b) && SectionToken(&c)) {
            uint32_t lo, hi;
            int bytes, hiBytes;
            if (!SourceCode(a, &lo, &bytes) || !SourceCode(b, &hi, &hiBytes) || !IsCid(c))
                continue;
            uint32_t cid = static_cast<uint32_t>(c.number);
            if (notdef)
                cmap_->AddNotdefRange(lo, hi, cid, bytes);
            else
                cmap_->AddCidRange(lo, hi, cid, bytes);
        }
    }

    void Chars(bool notdef)
    {
        Token a, b;
        while (SectionToken(&a) && SectionToken(&b)) {
            uint32_t code;
            int bytes;
            if (!SourceCode(a, &code, &bytes) || !IsCid(b))
                continue;
            uint32_t cid = static_cast<uint32_t>(b.number);
            if (notdef)
                cmap_->AddNotdefRange(code, code, cid, bytes);
            else
                cmap_->AddCidRange(code, code, cid, bytes);
        }
    }

    void BfChars()
    {
        Token a, b;
        while (SectionToken(&a) && SectionToken(&b)) {
            uint32_t code;
            int bytes;
            if (!SourceCode(a, &code, &bytes))
                continue;
            std::u16string text = DestinationText(b);
            if (!text.empty())
                cmap_->AddUnicodeRange(code, code, text, bytes);
        }
    }

    void BfRanges()
    {
        Token a, b, c;
        while (SectionToken(&a) && SectionToken(&b) && SectionToken(&c)) {
            uint32_t lo = 0, hi = 0;
            int bytes = 0, hiBytes = 0;
            bool valid = SourceCode(a, &lo, &bytes) && SourceCode(b, &hi, &hiBytes) && lo <= hi;
            if (c.type == TokenType::ArrayOpen) {
                // One destination per code, as many as the array holds.
                uint32_t code = lo;
                Token e;
                bool more;
                while ((more = SectionToken(&e)) && e.type != TokenType::ArrayClose) {
                    if (!valid)
                        continue;
                    std::u16string text = DestinationText(e);
                    if (!text.empty())
                        cmap_->AddUnicodeRange(code, code, text, bytes);
                    if (code == hi)
                        valid = false;
                    else
                        ++code;
                }
                if (!more)
                    return;
            } else if (valid) {
                std::u16string text = DestinationText(c);
                if (!text.empty())
                    cmap_->AddUnicodeRange(lo, hi, text, bytes);
            }
        }
    }

    void UseCMap(const std::string& name)
    {
        std::shared_ptr<const CMap> parent = resolver_ ? resolver_(name) : PredefinedCMap(name);
        if (parent)
            cmap_->UseCMap(*parent);
    }

    Tokenizer tokens_;
    CMap* cmap_;
    const CMap::Resolver& resolver_;
};

}  // namespace

std::shared_ptr<CMap> CMap::Parse(std::string_view program, const Resolver& resolver)
{
    // A resolver that parses referenced streams comes back here; a cycle of /usecmap must end.
    static thread_local int depth = 0;
    auto cmap = std::make_shared<CMap>();
    if (depth < 8) {
        ++depth;
        Parser(program, cmap.get(), resolver).Run();
        --depth;
    }
    cmap->Finish();
    return cmap;
}

}  // namespace halvane
