#include "halvane/document/xref.h"

#include <cstring>
#include <set>

#include "halvane/filters/filter_chain.h"
#include "halvane/syntax/find_bytes.h"
#include "halvane/syntax/lexer.h"
#include "halvane/syntax/parser.h"

namespace halvane {

const XrefEntry* XrefTable::Find(int num) const
{
    if (num < 0 || num >= static_cast<int>(entries_.size()) || !known_[static_cast<size_t>(num)])
        return nullptr;
    return &entries_[static_cast<size_t>(num)];
}

void XrefTable::AddIfUnset(int num, const XrefEntry& entry)
{
    if (num < 0 || num > kMaxObjectNumber)
        return;
    if (num >= static_cast<int>(entries_.size())) {
        entries_.resize(static_cast<size_t>(num) + 1);
        known_.resize(static_cast<size_t>(num) + 1, false);
    }
    if (known_[static_cast<size_t>(num)])
        return;
    entries_[static_cast<size_t>(num)] = entry;
    known_[static_cast<size_t>(num)] = true;
}

void XrefTable::Set(int num, const XrefEntry& entry)
{
    if (num < 0 || num > kMaxObjectNumber)
        return;
    if (num >= static_cast<int>(entries_.size())) {
        entries_.resize(static_cast<size_t>(num) + 1);
        known_.resize(static_cast<size_t>(num) + 1, false);
    }
    entries_[static_cast<size_t>(num)] = entry;
    known_[static_cast<size_t>(num)] = true;
}

void XrefTable::Clear()
{
    entries_.clear();
    known_.clear();
    trailer = Dict();
}

namespace {

constexpr size_t kMaxXrefStreamBytes = 64u << 20;

// Finds the offset after the last "startxref" in the file's tail.
bool FindStartXref(const uint8_t* data, size_t size, size_t* offset)
{
    const char* kw = "startxref";
    const size_t kwLen = 9;
    const size_t tail = size > 4096 ? size - 4096 : 0;
    for (size_t p = size >= kwLen ? size - kwLen + 1 : 0; p-- > tail;) {
        if (std::memcmp(data + p, kw, kwLen) == 0) {
            Lexer lx(data, size, p + kwLen);
            Token t;
            if (lx.Next(t) && t.type == TokType::Int && t.i >= 0 && static_cast<uint64_t>(t.i) < size) {
                *offset = static_cast<size_t>(t.i);
                return true;
            }
            return false;
        }
    }
    return false;
}

// Locates a stream's data when its /Length is missing, indirect or wrong.
size_t FindStreamEnd(const uint8_t* data, size_t size, size_t start)
{
    static const char kw[] = "endstream";
    const uint8_t* hit = start < size ? FindBytes(data + start, size - start, kw, 9) : nullptr;
    size_t end = hit ? static_cast<size_t>(hit - data) : size;
    if (end > start && data[end - 1] == '\n')
        --end;
    if (end > start && data[end - 1] == '\r')
        --end;
    return end;
}

bool ReadClassicSection(const uint8_t* data, size_t size, Lexer& lx, XrefTable* table, Dict* trailer,
                        DiagnosticList* diagnostics)
{
    Token t;
    for (;;) {
        const size_t save = lx.Pos();
        if (!lx.Next(t))
            return false;
        if (t.IsKeyword("trailer"))
            break;
        if (t.type != TokType::Int) {
            lx.Seek(save);
            return false;
        }
        Token countTok;
        if (!lx.Next(countTok) || countTok.type != TokType::Int || t.i < 0 || countTok.i < 0)
            return false;
        const int64_t first = t.i;
        const int64_t count = countTok.i;
        if (first > kMaxObjectNumber || count > kMaxObjectNumber)
            return false;
        for (int64_t k = 0; k < count; ++k) {
            Token off, gen, kind;
            if (!lx.Next(off) || !lx.Next(gen) || !lx.Next(kind))
                return false;
            if (off.type != TokType::Int || gen.type != TokType::Int || kind.type != TokType::Keyword)
                return false;
            XrefEntry e;
            e.gen = static_cast<uint16_t>(gen.i);
            if (kind.text == "n" && off.i > 0 && static_cast<uint64_t>(off.i) < size) {
                e.kind = XrefEntry::Plain;
                e.offset = static_cast<uint64_t>(off.i);
            } else {
                if (kind.text == "n" && first + k != 0)
                    diagnostics->Report(DiagCode::XrefEntryInvalid, static_cast<int>(first + k), off.i);
                e.kind = XrefEntry::Free;
            }
            // Writers that number the first subsection from 1 instead of 0 are common: object 0
            // is always free, so an "n" entry for it means the numbering is shifted.
            table->AddIfUnset(static_cast<int>(first + k), e);
        }
    }
    Parser parser(lx, true);
    Object obj;
    if (!parser.ParseObject(&obj) || !obj.IsDict())
        return false;
    *trailer = obj.GetDict();
    (void)data;
    return true;
}

bool ReadXrefStream(const uint8_t* data, size_t size, size_t offset, XrefTable* table, Dict* trailer,
                    DiagnosticList* diagnostics)
{
    Lexer lx(data, size, offset);
    Parser parser(lx, true);
    Ref ref;
    Object obj;
    size_t start = 0;
    if (!parser.ParseIndirect(&ref, &obj, &start) || !obj.IsStream())
        return false;
    const Dict& dict = obj.GetDict();
    if (!dict.Get("Type").IsName("XRef"))
        return false;
    const Object& lenObj = dict.Get("Length");
    size_t length;
    if (lenObj.IsInt() && lenObj.GetInt() >= 0 && start + static_cast<uint64_t>(lenObj.GetInt()) <= size)
        length = static_cast<size_t>(lenObj.GetInt());
    else
        length = FindStreamEnd(data, size, start) - start;
    DecodedData decoded;
    ResolveFn direct = [](const Object& o) -> const Object& { return o.IsRef() ? NullObject() : o; };
    if (!DecodeFilters(data + start, length, dict.Get("Filter"), dict.Get("DecodeParms"), direct, kMaxXrefStreamBytes,
                       &decoded) ||
        !decoded.imageCodec.empty())
        return false;
    const Object& w = dict.Get("W");
    int widths[3];
    for (int i = 0; i < 3; ++i) {
        widths[i] = w.At(static_cast<size_t>(i)).GetIntClamped(-1);
        if (widths[i] < 0 || widths[i] > 8)
            return false;
    }
    const size_t rowBytes = static_cast<size_t>(widths[0] + widths[1] + widths[2]);
    if (rowBytes == 0)
        return false;
    std::vector<std::pair<int64_t, int64_t>> ranges;
    const Object& index = dict.Get("Index");
    if (index.IsArray()) {
        for (size_t i = 0; i + 1 < index.ArraySize(); i += 2)
            ranges.emplace_back(index.At(i).GetInt(), index.At(i + 1).GetInt());
    } else {
        ranges.emplace_back(0, dict.Get("Size").GetInt());
    }
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(decoded.bytes.data());
    const size_t rowCount = decoded.bytes.size() / rowBytes;
    size_t row = 0;
    auto field = [&](const uint8_t* p, int width, uint64_t fallback) {
        if (width == 0)
            return fallback;
        uint64_t v = 0;
        for (int i = 0; i < width; ++i)
            v = (v << 8) | p[i];
        return v;
    };
    for (const auto& range : ranges) {
        if (range.first < 0 || range.second < 0 || range.first > kMaxObjectNumber)
            continue;
        for (int64_t k = 0; k < range.second && row < rowCount; ++k, ++row) {
            const uint8_t* p = rows + row * rowBytes;
            const uint64_t type = field(p, widths[0], 1);
            const uint64_t f2 = field(p + widths[0], widths[1], 0);
            const uint64_t f3 = field(p + widths[0] + widths[1], widths[2], 0);
            XrefEntry e;
            if (type == 1 && f2 > 0 && f2 < size) {
                e.kind = XrefEntry::Plain;
                e.offset = f2;
                e.gen = static_cast<uint16_t>(f3);
            } else if (type == 2 && f2 <= static_cast<uint64_t>(kMaxObjectNumber)) {
                e.kind = XrefEntry::Compressed;
                e.offset = f2;
                e.index = static_cast<uint32_t>(f3);
            } else {
                if (type == 1)
                    diagnostics->Report(DiagCode::XrefEntryInvalid, static_cast<int>(range.first + k),
                                        static_cast<int64_t>(f2));
                e.kind = XrefEntry::Free;
            }
            table->AddIfUnset(static_cast<int>(range.first + k), e);
        }
    }
    *trailer = dict;
    return true;
}

void MergeTrailer(Dict* into, const Dict& from)
{
    for (const auto& item : from.Items())
        if (!into->Has(item.first) && item.first != "Prev" && item.first != "XRefStm")
            into->Set(item.first, item.second);
}

}  // namespace

bool ReadXref(const uint8_t* data, size_t size, XrefTable* table, DiagnosticList* diagnostics)
{
    table->Clear();
    size_t offset;
    if (!FindStartXref(data, size, &offset)) {
        diagnostics->Report(DiagCode::XrefUnreadable);
        return false;
    }
    auto unreadable = [&](size_t at) {
        diagnostics->Report(DiagCode::XrefUnreadable, DiagnosticList::kNoObject, static_cast<int64_t>(at));
        return false;
    };
    std::set<size_t> visited;
    bool first = true;
    while (visited.insert(offset).second && visited.size() < 1000) {
        Lexer lx(data, size, offset);
        Token t;
        const size_t save = lx.Pos();
        if (!lx.Next(t))
            return first ? unreadable(offset) : true;
        Dict trailer;
        if (t.IsKeyword("xref")) {
            if (!ReadClassicSection(data, size, lx, table, &trailer, diagnostics))
                return unreadable(offset);
            const Object& xrefStm = trailer.Get("XRefStm");
            if (xrefStm.IsInt() && xrefStm.GetInt() > 0 && static_cast<uint64_t>(xrefStm.GetInt()) < size) {
                Dict ignored;
                if (!ReadXrefStream(data, size, static_cast<size_t>(xrefStm.GetInt()), table, &ignored, diagnostics))
                    diagnostics->Report(DiagCode::XrefStreamUnreadable, DiagnosticList::kNoObject, xrefStm.GetInt());
            }
        } else {
            lx.Seek(save);
            if (!ReadXrefStream(data, size, offset, table, &trailer, diagnostics))
                return unreadable(offset);
        }
        if (first)
            table->trailer = trailer;
        else
            MergeTrailer(&table->trailer, trailer);
        first = false;
        const Object& prev = trailer.Get("Prev");
        if (!prev.IsNumber() || prev.GetInt() <= 0 || static_cast<uint64_t>(prev.GetInt()) >= size)
            break;
        offset = static_cast<size_t>(prev.GetInt());
    }
    return !first;
}

namespace {

bool IsDigit(uint8_t c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

bool RebuildXref(const uint8_t* data, size_t size, XrefTable* table, std::vector<int>* objectStreams)
{
    table->Clear();
    objectStreams->clear();
    Dict trailer;
    bool haveTrailer = false;
    size_t pos = 0;
    const uint8_t* hitTrailer = nullptr;
    bool trailerSearched = false;
    while (pos + 3 <= size) {
        const uint8_t* hitObj = FindBytes(data + pos, size - pos, "obj", 3);
        // The next "trailer" is searched once and again only after the scan passed it.
        if (!trailerSearched || (hitTrailer && hitTrailer < data + pos)) {
            hitTrailer = FindBytes(data + pos, size - pos, "trailer", 7);
            trailerSearched = true;
        }
        if (!hitObj && !hitTrailer)
            break;
        if (hitTrailer && (!hitObj || hitTrailer < hitObj)) {
            const size_t at = static_cast<size_t>(hitTrailer - data);
            Lexer lx(data, size, at + 7);
            Parser parser(lx, true);
            Object obj;
            if (parser.ParseObject(&obj) && obj.IsDict() && obj["Root"].IsRef()) {
                // A later trailer describes a later update: its values win.
                Dict merged = obj.GetDict();
                MergeTrailer(&merged, trailer);
                trailer = merged;
                haveTrailer = true;
            }
            pos = at + 7;
            continue;
        }
        const size_t at = static_cast<size_t>(hitObj - data);
        pos = at + 3;
        if (at + 3 < size && !IsPdfWhite(data[at + 3]) && !IsPdfDelimiter(data[at + 3]))
            continue;  // "object", "objstm"...
        // Walk back over "num gen ".
        size_t p = at;
        size_t n = 0;
        while (p > 0 && IsPdfWhite(data[p - 1]) && n++ < 8)
            --p;
        size_t genEnd = p;
        while (p > 0 && IsDigit(data[p - 1]) && genEnd - p < 6)
            --p;
        if (p == genEnd)
            continue;
        size_t genStart = p;
        n = 0;
        while (p > 0 && IsPdfWhite(data[p - 1]) && n++ < 8)
            --p;
        if (p == genStart)
            continue;
        size_t numEnd = p;
        while (p > 0 && IsDigit(data[p - 1]) && numEnd - p < 11)
            --p;
        if (p == numEnd)
            continue;
        if (p > 0 && !IsPdfWhite(data[p - 1]) && !IsPdfDelimiter(data[p - 1]))
            continue;
        Lexer lx(data, size, p);
        Token num, gen;
        if (!lx.Next(num) || !lx.Next(gen) || num.type != TokType::Int || gen.type != TokType::Int)
            continue;
        if (num.i <= 0 || num.i > kMaxObjectNumber)
            continue;
        XrefEntry e;
        e.kind = XrefEntry::Plain;
        e.offset = p;
        e.gen = static_cast<uint16_t>(gen.i);
        table->Set(static_cast<int>(num.i), e);
        // Peek at the dictionary for object streams and cross-reference streams.
        Lexer body(data, size, at + 3);
        Parser parser(body, true);
        Object obj;
        const size_t peekLimit = 4096;
        body.SkipWhite();
        if (body.Pos() < size && data[body.Pos()] == '<' && body.Pos() + 1 < size && data[body.Pos() + 1] == '<') {
            Lexer limited(data, at + 3 + peekLimit < size ? at + 3 + peekLimit : size, at + 3);
            Parser p2(limited, true);
            if (p2.ParseObject(&obj) && obj.IsDict()) {
                const Object& type = obj["Type"];
                if (type.IsName("ObjStm"))
                    objectStreams->push_back(static_cast<int>(num.i));
                else if (type.IsName("XRef") && obj["Root"].IsRef()) {
                    Dict merged = obj.GetDict();
                    MergeTrailer(&merged, trailer);
                    trailer = merged;
                    haveTrailer = true;
                }
            }
        }
    }
    table->trailer = trailer;
    (void)haveTrailer;
    return table->Size() > 0;
}

}  // namespace halvane
