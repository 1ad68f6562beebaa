#include "halvane/fonts/font.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "halvane/document/document_file.h"
#include "halvane/fonts/document_glyph_names.h"
#include "halvane/fonts/encodings.h"
#include "halvane/fonts/font_programs.h"
#include "halvane/fonts/glyph_names.h"
#include "halvane/fonts/program_unicode.h"
#include "halvane/fonts/standard_fonts.h"
#include "unicode_text.h"
#include "halvane/fonts/cmap.h"

namespace halvane {

namespace {

constexpr size_t kMaxCMapBytes = 16u << 20;

bool ContainsNoCase(const std::string& s, const char* word)
{
    std::string lower(s);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower.find(word) != std::string::npos;
}

void ReadStyle(Document& doc, const Object& fontDict, const Object& descriptor, Font* font)
{
    const std::string& base = font->name;
    const int flags = doc.Resolve(descriptor["Flags"]).GetIntClamped(0);
    const int weight = doc.Resolve(descriptor["FontWeight"]).GetIntClamped(0);
    font->bold = ContainsNoCase(base, "bold") || ContainsNoCase(base, "black") || ContainsNoCase(base, "heavy") ||
                 weight >= 600 || (flags & (1 << 18)) != 0;
    font->italic = ContainsNoCase(base, "italic") || ContainsNoCase(base, "oblique") || (flags & (1 << 6)) != 0;
    (void)fontDict;
}

// A simple TrueType font's code through its own cmap: (3,0) symbol codes at 0xF000 + code or
// the Mac (1,0) table, then the glyph's post name.
bool TrueTypeCodeText(const TrueTypeFont& tt, int code, std::u16string* out)
{
    uint32_t gid = 0;
    if (const TrueTypeCmap* sym = tt.FindCmap(3, 0)) {
        gid = sym->Lookup(0xF000u + static_cast<uint32_t>(code));
        if (!gid)
            gid = sym->Lookup(static_cast<uint32_t>(code));
    }
    if (!gid) {
        if (const TrueTypeCmap* mac = tt.FindCmap(1, 0))
            gid = mac->Lookup(static_cast<uint32_t>(code));
    }
    if (!gid || gid >= tt.glyphNames.size() || tt.glyphNames[gid].empty())
        return false;
    return GlyphNameToUnicode(tt.glyphNames[gid], out) && !out->empty();
}

bool NumberedNameMatchesCode(const std::string& n, int code)
{
    // One letter and two hex digits ("x41", "xA9"), as bitmap fonts of TeX name their glyphs.
    auto hex = [](char c) {
        return c >= '0' && c <= '9'
                   ? c - '0'
                   : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1));
    };
    if (n.size() == 3 && std::isalpha(static_cast<unsigned char>(n[0])) && hex(n[1]) >= 0 && hex(n[2]) >= 0 &&
        hex(n[1]) * 16 + hex(n[2]) == code && code >= 32 && !(code >= 127 && code < 160))
        return true;  // C0 and C1 control codes stand for no character
    size_t i = 0;
    while (i < n.size() && i < 3 && std::isalpha(static_cast<unsigned char>(n[i])))
        ++i;
    if (i == 0 || i == n.size() || n.size() - i > 3)
        return false;
    int v = 0;
    for (size_t k = i; k < n.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(n[k])))
            return false;
        v = v * 10 + (n[k] - '0');
    }
    return v == code && code >= 32;
}

// A font that cannot be read: bytes as Latin-1, half an em wide.
class FallbackFont : public Font {
public:
    FallbackFont() { name = "Helvetica"; }
    int NextCode(const std::string& s, size_t pos, uint32_t* code) const override
    {
        *code = static_cast<uint8_t>(s[pos]);
        return 1;
    }
    double Advance(uint32_t) const override { return 0.5; }
    void Text(uint32_t code, std::u16string* out) const override
    {
        if (code >= 32)
            out->push_back(static_cast<char16_t>(code));
    }
};

// An embedded CMap; null (and the failure reported as `failure`) when it cannot be read.
std::shared_ptr<const CMap> LoadCMapStream(Document& doc, const Object& stream, DiagCode failure)
{
    if (!stream.IsStream())
        return nullptr;
    const StreamInfo& info = *stream.GetStream();
    DecodedData decoded;
    if (!doc.DecodeStream(stream, kMaxCMapBytes, &decoded) || !decoded.imageCodec.empty()) {
        doc.Report(failure, info.ref.num, static_cast<int64_t>(info.offset));
        return nullptr;
    }
    // An embedded CMap may /usecmap another embedded one (/UseCMap entry) or a predefined one.
    std::shared_ptr<const CMap> parent;
    const Object& use = doc.Resolve(stream["UseCMap"]);
    if (use.IsName())
        parent = PredefinedCMap(use.Str());
    auto cmap = CMap::Parse(decoded.bytes);
    if (!cmap)
        doc.Report(failure, info.ref.num, static_cast<int64_t>(info.offset));
    if (parent && cmap) {
        auto merged = std::make_shared<CMap>(*cmap);
        merged->UseCMap(*parent);
        merged->Finish();
        return merged;
    }
    return cmap;
}

constexpr size_t kMaxFontProgramBytes = 32u << 20;

// The embedded font program of a descriptor, decoded; which key held it in *kind.
bool LoadFontProgram(Document& doc, const Object& descriptor, std::string* data, std::string* kind)
{
    static const char* const kKeys[] = {"FontFile", "FontFile2", "FontFile3"};
    for (const char* key : kKeys) {
        const Object& stream = doc.Resolve(descriptor[key]);
        if (!stream.IsStream())
            continue;
        DecodedData decoded;
        if (!doc.DecodeStream(stream, kMaxFontProgramBytes, &decoded) || !decoded.imageCodec.empty())
            return false;
        data->swap(decoded.bytes);
        *kind = key;
        if (*kind == "FontFile3") {
            const Object& subtype = doc.Resolve(stream["Subtype"]);
            if (subtype.IsName("OpenType"))
                *kind = "OpenType";
        }
        return true;
    }
    return false;
}

// Text of a glyph id through a TrueType/OpenType font's Unicode cmap, else its post names.
class GlyphTextMap {
public:
    void FromTrueType(const TrueTypeFont& tt)
    {
        const TrueTypeCmap* cmap = tt.FindCmap(3, 10);
        if (!cmap)
            cmap = tt.FindCmap(3, 1);
        if (!cmap)
            cmap = tt.FindCmap(0, 3);
        if (!cmap)
            cmap = tt.FindCmap(0, 4);
        if (cmap)
            codes_ = cmap->GlyphCodes(tt.glyphCount);
        names_ = tt.glyphNames;
    }
    void FromNames(const std::vector<std::string>& names) { names_ = names; }
    bool Empty() const { return codes_.empty() && names_.empty(); }

    bool Text(uint32_t gid, std::u16string* out) const
    {
        if (gid < codes_.size() && codes_[gid] != 0xFFFFFFFFu && codes_[gid] != 0) {
            const uint32_t c = codes_[gid];
            morvane::AppendUtf16(c, out);
            return true;
        }
        if (gid < names_.size() && !names_[gid].empty()) {
            std::u16string t;
            if (GlyphNameToUnicode(names_[gid], &t)) {
                *out += t;
                return true;
            }
        }
        return false;
    }

private:
    std::vector<uint32_t> codes_;
    std::vector<std::string> names_;
};

// Glyph space is a thousandth of text space (Type 3 fonts give their own /FontMatrix).
constexpr double kGlyphSpaceScale = 0.001;
// Bounds on what a font's tables may make us keep.
constexpr size_t kMaxCidToGidBytes = 1u << 20;
constexpr size_t kMaxWidthEntries = 1u << 20;

// What the loading stages of a simple font share, read once from its dictionary.
struct SimpleFontInfo {
    const Object* descriptor = nullptr;
    const StandardFont* standard = nullptr;  // one of the 14 standard fonts, by name
    int objectNum = DiagnosticList::kNoObject;  // the font dictionary's, for diagnostics
    bool type3 = false;
    bool trueType = false;
    bool symbolic = false;
};

// The glyph names of the font's base encoding by code. True when the font names its base
// encoding, or a symbolic standard font implies it; otherwise TrueType fonts are read as
// WinAnsi and Type 1 fonts with the standard encoding (for text fonts their built-in one).
bool ReadBaseEncoding(Document& doc, const Object& encoding, const SimpleFontInfo& info,
                      std::array<std::string, 256>* names)
{
    BaseEncoding base = BaseEncoding::Standard;
    bool haveBase = false;
    if (info.standard &&
        (info.standard->encoding == BaseEncoding::Symbol || info.standard->encoding == BaseEncoding::ZapfDingbats)) {
        base = info.standard->encoding;
        haveBase = true;
    }
    const Object& baseName = encoding.IsName() ? encoding : doc.Resolve(encoding["BaseEncoding"]);
    if (baseName.IsName() && LookupBaseEncoding(baseName.Str(), &base))
        haveBase = true;
    if (!haveBase) {
        base = (info.trueType && !info.symbolic) ? BaseEncoding::WinAnsi : BaseEncoding::Standard;
        if (info.trueType && info.symbolic)
            base = BaseEncoding::WinAnsi;
    }
    const char* const* baseNames = EncodingGlyphNames(base);
    for (int c = 0; c < 256; ++c)
        if (baseNames && baseNames[c])
            (*names)[static_cast<size_t>(c)] = baseNames[c];
    return haveBase;
}

// The embedded program of a simple font, as far as the text needs it: the built-in encoding
// of a Type 1 or CFF program, or a TrueType program's cmaps and glyph names.
struct SimpleFontProgram {
    BuiltInEncoding builtIn;
    bool haveBuiltIn = false;
    TrueTypeFont trueType;
    bool haveTrueType = false;
};

void ParseSimpleFontProgram(Document& doc, const SimpleFontInfo& info, SimpleFontProgram* out)
{
    std::string program, programKind;
    if (info.type3 || !LoadFontProgram(doc, *info.descriptor, &program, &programKind))
        return;
    if (programKind == "FontFile") {
        out->haveBuiltIn = ParseType1Encoding(program, &out->builtIn);
    } else if (programKind == "FontFile3") {
        CffFont cff;
        if (!ParseCff(program, &cff)) {
            doc.Report(DiagCode::FontProgramUnreadable, info.objectNum);
        } else if (!cff.cidKeyed) {
            out->builtIn = cff.encoding;
            out->haveBuiltIn = !out->builtIn.names.empty();
        }
    } else {
        out->haveTrueType = ParseTrueType(program, &out->trueType);
        if (!out->haveTrueType)
            doc.Report(DiagCode::FontProgramUnreadable, info.objectNum);
    }
}

// Type1, TrueType, Type3 and MMType1: one byte per code.
class SimpleFont : public Font {
public:
    int NextCode(const std::string& s, size_t pos, uint32_t* code) const override
    {
        *code = static_cast<uint8_t>(s[pos]);
        return 1;
    }
    double Advance(uint32_t code) const override { return code < 256 ? widths_[code] : 0; }
    void Text(uint32_t code, std::u16string* out) const override
    {
        if (code < 256)
            *out += text_[code];
    }

    // objectNum: the font dictionary's number, for diagnostics (kNoObject when direct).
    void Load(Document& doc, const Object& dict, int objectNum, FontCache& cache);

private:
    using GlyphNames = std::array<std::string, 256>;

    void ReadText(Document& doc, const Object& dict, const SimpleFontInfo& info, const GlyphNames& names,
                  const std::array<bool, 256>& fromDifferences, const SimpleFontProgram& program, FontCache& cache);
    void ReadWidths(Document& doc, const Object& dict, const SimpleFontInfo& info, const GlyphNames& names);

    std::array<double, 256> widths_{};
    std::array<std::u16string, 256> text_;
};

void SimpleFont::Load(Document& doc, const Object& dict, int objectNum, FontCache& cache)
{
    SimpleFontInfo info;
    info.objectNum = objectNum;
    info.type3 = doc.Resolve(dict["Subtype"]).IsName("Type3");
    info.trueType = doc.Resolve(dict["Subtype"]).IsName("TrueType");
    name = StripSubsetPrefix(doc.Resolve(dict["BaseFont"]).Str());
    if (info.type3 && name.empty())
        name = doc.Resolve(dict["Name"]).IsName() ? doc.Resolve(dict["Name"]).Str() : std::string("Type3");
    const Object& descriptor = doc.Resolve(dict["FontDescriptor"]);
    info.descriptor = &descriptor;
    ReadStyle(doc, dict, descriptor, this);
    info.standard = FindStandardFont(name);
    const int flags = doc.Resolve(descriptor["Flags"]).GetIntClamped(0);
    info.symbolic = (flags & 4) != 0 && (flags & 32) == 0;

    // Glyph names by code: the base encoding, the program's built-in encoding where no base
    // encoding is named, then the /Differences.
    GlyphNames names;
    const Object& encoding = doc.Resolve(dict["Encoding"]);
    const bool haveBase = ReadBaseEncoding(doc, encoding, info, &names);
    SimpleFontProgram program;
    ParseSimpleFontProgram(doc, info, &program);
    if (program.haveBuiltIn && !haveBase && !program.builtIn.standard) {
        const std::vector<std::string>& builtIn = program.builtIn.names;
        for (int c = 0; c < 256 && c < static_cast<int>(builtIn.size()); ++c)
            if (!builtIn[static_cast<size_t>(c)].empty())
                names[static_cast<size_t>(c)] = builtIn[static_cast<size_t>(c)];
    }
    std::array<bool, 256> fromDifferences{};
    for (auto& difference : DifferencesNames(doc, encoding)) {
        names[static_cast<size_t>(difference.first)] = std::move(difference.second);
        fromDifferences[static_cast<size_t>(difference.first)] = true;
    }

    ReadText(doc, dict, info, names, fromDifferences, program, cache);
    ReadWidths(doc, dict, info, names);
}

// Text by code: the ToUnicode map first, then the glyph names, then what the program or the
// document's other fonts say about a name the glyph list cannot read.
void SimpleFont::ReadText(Document& doc, const Object& dict, const SimpleFontInfo& info, const GlyphNames& names,
                          const std::array<bool, 256>& fromDifferences, const SimpleFontProgram& program,
                          FontCache& cache)
{
    std::shared_ptr<const CMap> toUnicode =
        LoadCMapStream(doc, doc.Resolve(dict["ToUnicode"]), DiagCode::ToUnicodeUnreadable);
    const bool dingbats = info.standard && info.standard->encoding == BaseEncoding::ZapfDingbats;
    std::unique_ptr<ProgramUnicode> programUnicode;
    for (int c = 0; c < 256; ++c) {
        std::u16string& t = text_[static_cast<size_t>(c)];
        if (toUnicode && toUnicode->LookupUnicode(static_cast<uint32_t>(c), &t) && !t.empty())
            continue;
        const std::string& n = names[static_cast<size_t>(c)];
        if (!n.empty()) {
            if (dingbats ? DingbatsGlyphNameToUnicode(n, &t) : GlyphNameToUnicode(n, &t))
                continue;
        }
        t.clear();
        if (program.haveTrueType && TrueTypeCodeText(program.trueType, c, &t))
            continue;
        // A name the glyph list cannot read: the program's Unicode cmap says what its glyph
        // draws, else another copy of this font in the document with a ToUnicode map.
        if (!n.empty() && program.haveTrueType) {
            if (!programUnicode)
                programUnicode = std::make_unique<ProgramUnicode>(program.trueType);
            if (programUnicode->Text(n, &t))
                continue;
        }
        if (!n.empty() && !info.type3 && ParseNumberedGlyphName(n) && cache.LearnedGlyphNames().Lookup(name, n, &t))
            continue;
        t.clear();
        // Names such as "a44" or "g65" on code 44 or 65 stand for the code itself.
        if (!n.empty() && NumberedNameMatchesCode(n, c)) {
            t.push_back(static_cast<char16_t>(c));
            continue;
        }
        // No usable name: printable codes read as themselves, as most such fonts are laid out.
        if (c >= 32 && c < 127 && (!fromDifferences[static_cast<size_t>(c)] || n.empty()))
            t.push_back(static_cast<char16_t>(c));
    }
}

// Widths: /Widths from /FirstChar, else the standard font metrics, else /MissingWidth.
void SimpleFont::ReadWidths(Document& doc, const Object& dict, const SimpleFontInfo& info, const GlyphNames& names)
{
    double scale = kGlyphSpaceScale;
    if (info.type3) {
        const Object& matrix = doc.Resolve(dict["FontMatrix"]);
        if (matrix.ArraySize() >= 6)
            scale = doc.Resolve(matrix.At(0)).GetNumber(kGlyphSpaceScale);
        if (!(scale > -1e3 && scale < 1e3))
            scale = kGlyphSpaceScale;
    }
    const double missing = doc.Resolve((*info.descriptor)["MissingWidth"]).GetNumber(0) * scale;
    const Object& widths = doc.Resolve(dict["Widths"]);
    const int first = doc.Resolve(dict["FirstChar"]).GetIntClamped(0);
    for (int c = 0; c < 256; ++c) {
        double w = -1;
        const int64_t index = static_cast<int64_t>(c) - first;
        if (widths.IsArray() && index >= 0 && static_cast<size_t>(index) < widths.ArraySize()) {
            const Object& v = doc.Resolve(widths.At(static_cast<size_t>(index)));
            if (v.IsNumber())
                w = v.GetNumber() * scale;
        }
        if (w < 0 && info.standard) {
            const std::string& n = names[static_cast<size_t>(c)];
            const int sw = n.empty() ? -1 : StandardGlyphWidth(info.standard, n);
            if (sw >= 0)
                w = sw * kGlyphSpaceScale;
        }
        if (w < 0)
            w = widths.IsArray() ? missing : (info.standard ? missing : 0.5);
        widths_[static_cast<size_t>(c)] = w;
    }
}

// Type0 fonts: codes through the encoding CMap to CIDs, widths by CID.
class CompositeFont : public Font {
public:
    int NextCode(const std::string& s, size_t pos, uint32_t* code) const override
    {
        if (encoding_) {
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(s.data()) + pos;
            const size_t n = encoding_->NextCode(bytes, s.size() - pos, code);
            return n == 0 ? 1 : static_cast<int>(n);
        }
        // Identity: two bytes per code.
        if (pos + 1 < s.size()) {
            *code = (static_cast<uint32_t>(static_cast<uint8_t>(s[pos])) << 8) | static_cast<uint8_t>(s[pos + 1]);
            return 2;
        }
        *code = static_cast<uint8_t>(s[pos]);
        return 1;
    }
    double Advance(uint32_t code) const override
    {
        const uint32_t cid = Cid(code);
        auto it = std::upper_bound(widths_.begin(), widths_.end(), cid,
                                   [](uint32_t c, const WidthRange& r) { return c < r.first; });
        if (it != widths_.begin()) {
            --it;
            if (cid <= it->last)
                return it->width;
        }
        return defaultWidth_;
    }
    double VerticalAdvance(uint32_t) const override { return defaultVertical_; }
    void Text(uint32_t code, std::u16string* out) const override
    {
        std::u16string t;
        if (toUnicode_ && toUnicode_->LookupUnicode(code, &t) && !t.empty()) {
            *out += t;
            return;
        }
        // Some writers put cidrange/cidchar entries into a ToUnicode map; their values are
        // the code points.
        uint32_t value;
        if (toUnicode_ && toUnicode_->HasCidMappings() && toUnicode_->LookupCid(code, &value) && value >= 32 &&
            value < 0x110000 && (value < 0xD800 || value > 0xDFFF)) {
            morvane::AppendUtf16(value, out);
            return;
        }
        const uint32_t cid = Cid(code);
        if (!ordering_.empty() && CidToUnicode(ordering_, cid, &t)) {
            *out += t;
            return;
        }
        if (!glyphText_.Empty()) {
            uint32_t gid = cid;
            if (!cidToGid_.empty())
                gid = cid < cidToGid_.size() ? cidToGid_[cid] : 0;
            glyphText_.Text(gid, out);
        }
    }
    bool IsWordSpace(uint32_t code, int length) const override { return length == 1 && code == 32; }

    // objectNum: the font dictionary's number, for diagnostics (kNoObject when direct).
    void Load(Document& doc, const Object& dict, int objectNum);

private:
    uint32_t Cid(uint32_t code) const
    {
        uint32_t cid;
        if (encoding_ && encoding_->HasCidMappings())
            return encoding_->LookupCid(code, &cid) ? cid : 0;
        return code;
    }

    void ReadEncoding(Document& doc, const Object& dict);
    void ReadProgram(Document& doc, const Object& cidFont, const Object& descriptor, int objectNum);
    void ReadWidths(Document& doc, const Object& cidFont);

    struct WidthRange {
        uint32_t first, last;
        double width;
    };
    std::vector<WidthRange> widths_;
    double defaultWidth_ = 1.0;
    double defaultVertical_ = -1.0;
    std::string ordering_;
    GlyphTextMap glyphText_;
    std::vector<uint16_t> cidToGid_;  // CIDToGIDMap stream; empty for Identity
    std::shared_ptr<const CMap> encoding_;
    std::shared_ptr<const CMap> toUnicode_;
};

void CompositeFont::Load(Document& doc, const Object& dict, int objectNum)
{
    name = StripSubsetPrefix(doc.Resolve(dict["BaseFont"]).Str());
    const Object& descendants = doc.Resolve(dict["DescendantFonts"]);
    const Object& cidFont = doc.Resolve(descendants.IsArray() ? descendants.At(0) : descendants);
    const Object& descriptor = doc.Resolve(cidFont["FontDescriptor"]);
    // "SimSun-Identity-H" style names carry the encoding; the descendant usually has the plain name.
    const std::string cidName = StripSubsetPrefix(doc.Resolve(cidFont["BaseFont"]).Str());
    if (!cidName.empty())
        name = cidName;
    ReadStyle(doc, dict, descriptor, this);
    const Object& info = doc.Resolve(cidFont["CIDSystemInfo"]);
    ordering_ = doc.Resolve(info["Ordering"]).Str();

    ReadEncoding(doc, dict);
    toUnicode_ = LoadCMapStream(doc, doc.Resolve(dict["ToUnicode"]), DiagCode::ToUnicodeUnreadable);
    if (ordering_ == "Identity" || ordering_ == "UCS")
        ordering_.clear();
    // Without a ToUnicode map and a known character collection, the embedded program says
    // what each glyph is.
    if (!toUnicode_ || !toUnicode_->HasUnicodeMappings())
        ReadProgram(doc, cidFont, descriptor, objectNum);
    ReadWidths(doc, cidFont);
}

// The encoding CMap, predefined or embedded: how codes split and map to CIDs, whether the
// writing is vertical, and the character collection when the descendant names none.
void CompositeFont::ReadEncoding(Document& doc, const Object& dict)
{
    const Object& encoding = doc.Resolve(dict["Encoding"]);
    if (encoding.IsName()) {
        const std::string& cmapName = encoding.Str();
        encoding_ = PredefinedCMap(cmapName);
        if (!encoding_)
            doc.Report(DiagCode::CMapUnknown, encoding.IsRef() ? encoding.GetRef().num : DiagnosticList::kNoObject);
        vertical = (encoding_ && encoding_->IsVertical()) || cmapName == "V" ||
                   (cmapName.size() > 2 && cmapName.compare(cmapName.size() - 2, 2, "-V") == 0);
    } else if (encoding.IsStream()) {
        encoding_ = LoadCMapStream(doc, encoding, DiagCode::CMapUnknown);
        if (encoding_)
            vertical = encoding_->IsVertical();
    }
    if (encoding_ && ordering_.empty())
        ordering_ = encoding_->Ordering();
}

// The embedded program's glyph names and Unicode cmap (text by glyph id), the collection of a
// CID-keyed CFF program, and the CIDToGIDMap that leads from CIDs to its glyphs.
void CompositeFont::ReadProgram(Document& doc, const Object& cidFont, const Object& descriptor, int objectNum)
{
    std::string program, programKind;
    if (!LoadFontProgram(doc, descriptor, &program, &programKind))
        return;
    if (programKind == "FontFile2" || programKind == "OpenType") {
        TrueTypeFont tt;
        if (ParseTrueType(program, &tt)) {
            glyphText_.FromTrueType(tt);
            if (glyphText_.Empty() && !tt.cff.empty()) {
                CffFont cff;
                if (ParseCff(tt.cff, &cff) && !cff.cidKeyed)
                    glyphText_.FromNames(cff.glyphNames);
            }
        } else {
            doc.Report(DiagCode::FontProgramUnreadable, objectNum);
        }
    } else if (programKind == "FontFile3") {
        CffFont cff;
        if (!ParseCff(program, &cff)) {
            doc.Report(DiagCode::FontProgramUnreadable, objectNum);
        } else {
            if (cff.cidKeyed) {
                if (ordering_.empty() && cff.ordering != "Identity")
                    ordering_ = cff.ordering;
            } else {
                glyphText_.FromNames(cff.glyphNames);
            }
        }
    }
    const Object& map = doc.Resolve(cidFont["CIDToGIDMap"]);
    if (map.IsStream()) {
        DecodedData decoded;
        if (doc.DecodeStream(map, kMaxCidToGidBytes, &decoded)) {
            const std::string& b = decoded.bytes;
            cidToGid_.resize(b.size() / 2);
            for (size_t i = 0; i + 1 < b.size(); i += 2)
                cidToGid_[i / 2] =
                    static_cast<uint16_t>((static_cast<uint8_t>(b[i]) << 8) | static_cast<uint8_t>(b[i + 1]));
        }
    }
}

// Widths by CID: /DW, the /W array (c [w1 w2 ...] and c_first c_last w), vertical /DW2.
void CompositeFont::ReadWidths(Document& doc, const Object& cidFont)
{
    const Object& dw = doc.Resolve(cidFont["DW"]);
    if (dw.IsNumber())
        defaultWidth_ = dw.GetNumber() * kGlyphSpaceScale;
    const Object& w = doc.Resolve(cidFont["W"]);
    for (size_t i = 0; i < w.ArraySize();) {
        const Object& first = doc.Resolve(w.At(i));
        const Object& next = doc.Resolve(w.At(i + 1));
        if (!first.IsNumber())
            break;
        const int64_t c0 = first.GetInt();
        if (next.IsArray()) {
            for (size_t k = 0; k < next.ArraySize() && widths_.size() < kMaxWidthEntries; ++k) {
                const uint32_t cid = static_cast<uint32_t>(c0 + static_cast<int64_t>(k));
                widths_.push_back(WidthRange{cid, cid, doc.Resolve(next.At(k)).GetNumber() * kGlyphSpaceScale});
            }
            i += 2;
        } else {
            const Object& wv = doc.Resolve(w.At(i + 2));
            if (!next.IsNumber() || !wv.IsNumber())
                break;
            if (c0 >= 0 && next.GetInt() >= c0)
                widths_.push_back(WidthRange{static_cast<uint32_t>(c0), static_cast<uint32_t>(next.GetInt()),
                                             wv.GetNumber() * kGlyphSpaceScale});
            i += 3;
        }
    }
    std::stable_sort(widths_.begin(), widths_.end(),
                     [](const WidthRange& a, const WidthRange& b) { return a.first < b.first; });
    const Object& dw2 = doc.Resolve(cidFont["DW2"]);
    if (dw2.ArraySize() >= 2)
        defaultVertical_ = doc.Resolve(dw2.At(1)).GetNumber(-1000) * kGlyphSpaceScale;
}

}  // namespace

std::vector<std::pair<int, std::string>> DifferencesNames(Document& doc, const Object& encoding)
{
    std::vector<std::pair<int, std::string>> result;
    const Object& differences = doc.Resolve(encoding["Differences"]);
    int code = 0;
    for (size_t i = 0; i < differences.ArraySize(); ++i) {
        const Object& item = doc.Resolve(differences.At(i));
        if (item.IsNumber()) {
            code = item.GetIntClamped(0);
        } else if (item.IsName()) {
            if (code >= 0 && code < 256)
                result.emplace_back(code, item.Str());
            ++code;
        }
    }
    return result;
}

std::string StripSubsetPrefix(const std::string& name)
{
    if (name.size() > 7 && name[6] == '+') {
        bool upper = true;
        for (int i = 0; i < 6; ++i)
            upper = upper && name[static_cast<size_t>(i)] >= 'A' && name[static_cast<size_t>(i)] <= 'Z';
        if (upper)
            return name.substr(7);
    }
    return name;
}

FontCache::FontCache(Document& doc) : doc_(doc)
{ }

FontCache::~FontCache() = default;

const DocumentGlyphNames& FontCache::LearnedGlyphNames()
{
    if (!learned_) {
        learned_ = std::make_unique<DocumentGlyphNames>();
        learned_->Scan(doc_);
    }
    return *learned_;
}

const Font* FontCache::Get(const Object& fontRef)
{
    const int num = fontRef.IsRef() ? fontRef.GetRef().num : -1;
    if (num >= 0) {
        auto it = byRef_.find(num);
        if (it != byRef_.end())
            return it->second.get();
    }
    const Object& dict = doc_.Resolve(fontRef);
    // Fonts given as direct dictionaries are rare; a file that repeats them endlessly shares one.
    if (!dict.IsDict() || (num < 0 && direct_.size() >= 256)) {
        if (!dict.IsDict() && !fontRef.IsNull())  // null: text before any Tf, reported by the interpreter
            doc_.Report(DiagCode::FontUnreadable, num);
        if (!fallback_)
            fallback_ = std::make_unique<FallbackFont>();
        return fallback_.get();
    }
    std::unique_ptr<Font> font;
    const Object& subtype = doc_.Resolve(dict["Subtype"]);
    if (subtype.IsName("Type0")) {
        auto f = std::make_unique<CompositeFont>();
        f->Load(doc_, dict, num);
        font = std::move(f);
    } else {
        auto f = std::make_unique<SimpleFont>();
        f->Load(doc_, dict, num, *this);
        font = std::move(f);
    }
    const Font* result = font.get();
    if (num >= 0)
        byRef_[num] = std::move(font);
    else
        direct_.push_back(std::move(font));
    return result;
}

}  // namespace halvane
