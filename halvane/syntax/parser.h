// Builds objects from tokens: arrays, dictionaries, indirect references ("12 0 R") and
// indirect object definitions ("12 0 obj ... endobj", with an optional stream).
#ifndef HALVANE_PARSER_H
#define HALVANE_PARSER_H

#include "halvane/syntax/lexer.h"
#include "halvane/syntax/object.h"

namespace halvane {

// Arrays and dictionaries nested deeper than this are cut off (the rest reads as null).
constexpr int kMaxObjectDepth = 200;

class Parser {
public:
    // allowRefs: "n g R" forms a reference (file objects); off for content streams.
    Parser(Lexer& lexer, bool allowRefs) : lexer_(lexer), allowRefs_(allowRefs) { }

    // Parses one object. Returns false at the end of the data. A keyword that is not a value
    // (an operator) comes back in *keyword with a null object, when keyword is given.
    bool ParseObject(Object* out, std::string* keyword = nullptr);

    // Parses the body of "num gen obj" at the lexer position. For a stream, *streamStart is the
    // offset of the first data byte and *out a stream object of length 0 still to be set by the
    // caller (the /Length may be indirect). Returns false when no object header is found.
    bool ParseIndirect(Ref* ref, Object* out, size_t* streamStart);

private:
    bool ParseValue(const Token& tok, Object* out, int depth, std::string* keyword);
    bool ParseArray(Object* out, int depth);
    bool ParseDict(Object* out, int depth);

    Lexer& lexer_;
    bool allowRefs_;
    Token tok_;
};

}  // namespace halvane

#endif
