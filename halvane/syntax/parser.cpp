#include "halvane/syntax/parser.h"

namespace halvane {

bool Parser::ParseObject(Object* out, std::string* keyword)
{
    *out = Object();
    if (keyword)
        keyword->clear();
    Token tok;
    if (!lexer_.Next(tok))
        return false;
    return ParseValue(tok, out, 0, keyword);
}

bool Parser::ParseValue(const Token& tok, Object* out, int depth, std::string* keyword)
{
    switch (tok.type) {
    case TokType::Eof:
        return false;
    case TokType::Int: {
        if (allowRefs_ && tok.i >= 0 && tok.i <= INT32_MAX) {
            // Look ahead for "gen R".
            const size_t save = lexer_.Pos();
            Token t2;
            if (lexer_.Next(t2) && t2.type == TokType::Int && t2.i >= 0 && t2.i <= 65535) {
                Token t3;
                if (lexer_.Next(t3) && t3.IsKeyword("R")) {
                    *out = Object::MakeRef(Ref{static_cast<int>(tok.i), static_cast<int>(t2.i)});
                    return true;
                }
            }
            lexer_.Seek(save);
        }
        *out = Object::MakeInt(tok.i);
        return true;
    }
    case TokType::Real:
        *out = Object::MakeReal(tok.r);
        return true;
    case TokType::Name:
        *out = Object::MakeName(tok.text);
        return true;
    case TokType::String:
        *out = Object::MakeString(tok.text);
        return true;
    case TokType::ArrayOpen:
        return ParseArray(out, depth + 1);
    case TokType::DictOpen:
        return ParseDict(out, depth + 1);
    case TokType::Keyword:
        if (tok.text == "true") {
            *out = Object::MakeBool(true);
        } else if (tok.text == "false") {
            *out = Object::MakeBool(false);
        } else if (tok.text == "null") {
            *out = Object();
        } else {
            *out = Object();
            if (keyword)
                *keyword = tok.text;
        }
        return true;
    default:
        *out = Object();
        return true;
    }
}

bool Parser::ParseArray(Object* out, int depth)
{
    Array items;
    Token tok;
    while (lexer_.Next(tok)) {
        if (tok.type == TokType::ArrayClose)
            break;
        if (tok.type == TokType::DictClose)
            break;  // damaged: let the enclosing dictionary see its end
        if (tok.type == TokType::Keyword && (tok.text == "endobj" || tok.text == "stream" || tok.text == "obj")) {
            lexer_.Seek(tok.start);
            break;
        }
        if (depth > kMaxObjectDepth) {
            continue;
        }
        Object item;
        std::string kw;
        ParseValue(tok, &item, depth, &kw);
        if (!kw.empty())
            continue;  // stray keywords inside arrays are dropped
        items.push_back(std::move(item));
    }
    *out = Object::MakeArray(std::move(items));
    return true;
}

bool Parser::ParseDict(Object* out, int depth)
{
    Dict dict;
    Token tok;
    while (lexer_.Next(tok)) {
        if (tok.type == TokType::DictClose)
            break;
        if (tok.type == TokType::Keyword && (tok.text == "endobj" || tok.text == "stream" || tok.text == "obj")) {
            lexer_.Seek(tok.start);
            break;
        }
        if (tok.type != TokType::Name)
            continue;  // damaged: skip until a key
        std::string key = tok.text;
        Token vt;
        if (!lexer_.Next(vt))
            break;
        if (vt.type == TokType::DictClose) {
            dict.Set(std::move(key), Object());
            break;
        }
        if (vt.type == TokType::Keyword && (vt.text == "endobj" || vt.text == "stream")) {
            lexer_.Seek(vt.start);
            break;
        }
        Object value;
        if (depth <= kMaxObjectDepth) {
            std::string kw;
            ParseValue(vt, &value, depth, &kw);
        }
        dict.Set(std::move(key), std::move(value));
    }
    *out = Object::MakeDict(std::move(dict));
    return true;
}

bool Parser::ParseIndirect(Ref* ref, Object* out, size_t* streamStart)
{
    *streamStart = 0;
    Token num, gen, kw;
    if (!lexer_.Next(num) || num.type != TokType::Int || num.i < 0 || num.i > INT32_MAX)
        return false;
    if (!lexer_.Next(gen) || gen.type != TokType::Int || gen.i < 0 || gen.i > 65535)
        return false;
    if (!lexer_.Next(kw) || !kw.IsKeyword("obj"))
        return false;
    ref->num = static_cast<int>(num.i);
    ref->gen = static_cast<int>(gen.i);
    Token tok;
    if (!lexer_.Next(tok)) {
        *out = Object();
        return true;
    }
    ParseValue(tok, out, 0, nullptr);
    if (!out->IsDict())
        return true;
    // A dictionary followed by "stream" is a stream.
    const size_t after = lexer_.Pos();
    Token s;
    if (lexer_.Next(s) && s.IsKeyword("stream")) {
        size_t p = lexer_.Pos();
        const uint8_t* d = lexer_.Data();
        const size_t n = lexer_.Size();
        // The keyword is followed by CRLF or LF; some writers put only CR or spaces.
        while (p < n && d[p] == ' ')
            ++p;
        if (p < n && d[p] == '\r')
            ++p;
        if (p < n && d[p] == '\n')
            ++p;
        StreamInfo info;
        info.dict = out->GetDict();
        info.offset = p;
        info.ref = *ref;
        *out = Object::MakeStream(std::move(info));
        *streamStart = p;
        return true;
    }
    lexer_.Seek(after);
    return true;
}

}  // namespace halvane
