// What the reader repaired, skipped or gave up on in one document: a bounded list of
// diagnostics, each a stable code with the object number and byte offset it concerns. A repeat
// of the same code, object and offset only counts up, so a damaged operator met a million
// times is one entry.
#ifndef HALVANE_BASE_DIAGNOSTICS_H
#define HALVANE_BASE_DIAGNOSTICS_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

namespace halvane {

// The codes, by layer. Their numbers and names are stable (tests and tools name them): append
// new codes at the end of their group, never renumber or reuse one.
#define HALVANE_DIAGNOSTIC_CODES(X)                                                                                    \
    /* the file and its cross-reference table */                                                                       \
    X(NoHeader, 100) /* no "%PDF" near the start: not read */                                                          \
    X(XrefUnreadable, 101) /* startxref, the table or a /Prev section is damaged */                                    \
    X(TrailerWithoutRoot, 102) /* the trailer names no catalog */                                                      \
    X(XrefRebuilt, 103) /* the table was rebuilt by scanning the file */                                               \
    X(RebuildFailed, 104) /* the scan found no usable catalog: not read */                                             \
    X(ObjectUnreadable, 105) /* no "n g obj" of that number where the table points */                                  \
    X(ObjectOutsideFile, 106) /* the table points past the end of the file */                                          \
    X(StreamLengthWrong, 107) /* /Length is not followed by endstream: the keyword is used */                          \
    X(ObjectStreamUnreadable, 108) /* an object stream cannot be decoded or its header read */                         \
    X(ObjectNotInObjectStream, 109) /* the table says the object is in a stream that lacks it */                       \
    X(PageTreeEmpty, 110) /* the catalog leads to no page */                                                           \
    X(PageTreeCycle, 111) /* a page tree node is met twice: the second time skipped */                                 \
    X(PageTreeTooDeep, 112) /* page tree nesting beyond the limit: the rest skipped */                                 \
    X(PageTreeNodeUnreadable, 113) /* a page tree node that is no dictionary: skipped */                               \
    X(TooManyPages, 114) /* pages beyond the limit are left out */                                                     \
    X(CatalogUnreadable, 115) /* the trailer's /Root is no dictionary */                                               \
    X(XrefEntryInvalid, 116) /* an in-use entry points outside the file: taken as free */                              \
    X(XrefStreamUnreadable, 117) /* the /XRefStm of a hybrid file cannot be read: ignored */                           \
    X(ObjectStreamIndexWrong, 118) /* the table's index into an object stream is wrong: found by number */             \
    /* encryption */                                                                                                   \
    X(EncryptionUnreadable, 200) /* the /Encrypt entry is no dictionary: not read */                                   \
    X(EncryptionUnsupported, 201) /* a security handler or method the reader lacks: not read */                        \
    X(PasswordNeeded, 202) /* the empty user password does not open the file */                                        \
    X(EncryptionWithoutFileId, 203) /* an encrypted file without /ID: the key is made without it */                    \
    /* streams and filters */                                                                                          \
    X(StreamOutsideFile, 300) /* a stream's data reaches past the end of the file */                                   \
    X(FilterFailed, 301) /* unknown filter, damaged data, or output over the limit */                                  \
    /* fonts */                                                                                                        \
    X(FontUnreadable, 400) /* no font dictionary: the fallback font stands in */                                       \
    X(FontProgramUnreadable, 401) /* the embedded font program cannot be parsed */                                     \
    X(ToUnicodeUnreadable, 402) /* the ToUnicode CMap cannot be read: glyph names used */                              \
    X(CMapUnknown, 403) /* an encoding CMap neither predefined nor readable */                                         \
    /* content streams */                                                                                              \
    X(ContentUnreadable, 500) /* a content stream cannot be decoded: skipped */                                        \
    X(OperandsMissing, 501) /* an operator with too few operands: skipped */                                           \
    X(OperationLimit, 502) /* more operators on a page than the limit: the rest skipped */                             \
    X(StateStackFull, 503) /* q nested beyond the limit: not saved */                                                  \
    X(FormTooDeep, 504) /* forms nested beyond the limit: the inner one skipped */                                     \
    X(FormDrawsItself, 505) /* a form that draws itself: the inner drawing skipped */                                  \
    X(FontNotInResources, 506) /* Tf names a font the resources lack: the fallback is used */                          \
    X(XObjectNotInResources, 507) /* Do names an XObject the resources lack: skipped */                                \
    X(TextWithoutFont, 508) /* text shown before any Tf: the fallback font is used */                                  \
    /* images */                                                                                                       \
    X(ImageDropped, 600) /* an image that cannot be decoded or encoded: left out */                                    \
    X(ImageLimit, 601) /* images beyond the per-page limit are left out */                                             \
    X(ImageSizeUnusable, 602) /* no width or height, or more pixels than the limit */                                  \
    X(ImageColorSpaceUnknown, 603) /* a colour space the reader cannot turn into RGB or grey */                        \
    X(ImageCodecUnsupported, 604) /* JPEG 2000 or another codec without a place in a document */                       \
    X(ImageDataShort, 605) /* fewer samples than one row */                                                            \
    /* text collection */                                                                                              \
    X(GlyphLimit, 700) /* glyphs beyond the per-page limit are left out */                                             \
    /* the reader's boundary */                                                                                        \
    X(PageFailed, 800) /* a page gave up (out of memory or an internal fault) */

enum class DiagCode : uint16_t {
#define HALVANE_DIAGNOSTIC_ENUM(name, value) name = value,
    HALVANE_DIAGNOSTIC_CODES(HALVANE_DIAGNOSTIC_ENUM)
#undef HALVANE_DIAGNOSTIC_ENUM
};

// The code's name as printed ("XrefRebuilt"); "Unknown" for a value that is no code.
const char* DiagCodeName(DiagCode code);

struct Diagnostic {
    DiagCode code;
    int object;  // object number, or kNoObject
    int64_t offset;  // byte offset in the file, or kNoOffset
    uint32_t count;  // how often it was reported (saturates)
};

class DiagnosticList {
public:
    static constexpr int kNoObject = -1;
    static constexpr int64_t kNoOffset = -1;
    // Distinct entries kept; further distinct reports are only counted (Dropped).
    static constexpr size_t kMaxEntries = 256;

    void Report(DiagCode code, int object = kNoObject, int64_t offset = kNoOffset);

    // In the order first reported.
    const std::vector<Diagnostic>& Entries() const { return entries_; }
    uint64_t Dropped() const { return dropped_; }
    bool Has(DiagCode code) const;
    bool Has(DiagCode code, int object) const;

private:
    std::vector<Diagnostic> entries_;
    std::map<std::tuple<uint16_t, int, int64_t>, size_t> index_;
    uint64_t dropped_ = 0;
};

}  // namespace halvane

#endif
