// An opened PDF document: the file bytes, the cross-reference table, decryption and the flat
// list of pages. Objects are parsed on first use and cached; every reference that cannot be
// followed resolves to null.
#ifndef HALVANE_DOCUMENT_H
#define HALVANE_DOCUMENT_H

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "halvane/base/diagnostics.h"
#include "halvane/syntax/byte_source.h"
#include "halvane/filters/filter_chain.h"
#include "halvane/syntax/object.h"
#include "halvane/document/memory_budget.h"
#include "halvane/document/xref.h"

namespace halvane {

class Decryptor;

struct Rect {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double Width() const { return x1 - x0; }
    double Height() const { return y1 - y0; }
};

struct PageEntry {
    Object page;  // the page dictionary
    Object resources;  // own or inherited
    Rect mediaBox;
    Rect cropBox;  // clipped to the media box
    int rotate = 0;  // 0, 90, 180 or 270
    int objectNum = -1;  // the page dictionary's object number; -1 when it is direct
};

enum class OpenStatus { Ok, Unreadable, NeedsPassword };

// Decoded streams larger than this are refused (a content stream or image of this size is not
// a real page; the bound keeps "zip bombs" from exhausting memory).
constexpr size_t kMaxDecodedStream = 128u << 20;

class Document {
public:
    ~Document();
    // whyNot, when given, receives the diagnostics of a file that does not open.
    static std::unique_ptr<Document> Open(ByteSource source, OpenStatus* status, DiagnosticList* whyNot = nullptr);

    // Follows references; the object itself when it is direct.
    const Object& Resolve(const Object& obj);
    const Object& GetObject(int num);

    // Decrypts (when needed) and decodes a stream's data; the output is also bounded by what is
    // left of the document's memory budget.
    bool DecodeStream(const Object& stream, size_t maxOutput, DecodedData* out);
    // The stream's raw bytes after decryption, before the filters.
    bool RawStreamData(const Object& stream, std::string* out);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    const PageEntry* Page(int index) const;
    const Dict& Trailer() const { return xref_.trailer; }
    bool WasRepaired() const { return repaired_; }
    ResolveFn Resolver();
    // What the document's large buffers may hold at a time; the owners of such buffers lease from it.
    MemoryBudget& Budget() { return budget_; }

    // What was repaired, skipped or given up while reading this document, by any layer.
    void Report(DiagCode code, int object = DiagnosticList::kNoObject, int64_t offset = DiagnosticList::kNoOffset)
    {
        diagnostics_.Report(code, object, offset);
    }
    const DiagnosticList& Diagnostics() const { return diagnostics_; }

private:
    Document() = default;
    bool Load(OpenStatus* status);
    bool Rebuild();
    bool LoadPageTree();
    void CollectPages(const Object& node, const Object& resources, const Rect* media, const Rect* crop, int rotate,
                      int depth, std::unordered_set<int>& visited);
    bool Fetch(int num, Object* out);
    bool FetchPlain(int num, const XrefEntry& entry, Object* out);
    bool FetchCompressed(int num, const XrefEntry& entry, Object* out);
    void DecryptStrings(Object* obj, Ref ref, int depth);

    struct ObjectStream {
        BudgetLease lease;  // held as long as the stream's objects stay cached
        std::string data;
        std::vector<std::pair<int, size_t>> offsets;  // object number, offset in data
    };
    const ObjectStream* LoadObjectStream(int num);

    MemoryBudget budget_;  // first, so every lease below goes back before it ends
    ByteSource source_;
    XrefTable xref_;
    bool repaired_ = false;
    std::unordered_map<int, Object> cache_;
    std::unordered_set<int> loading_;
    std::unordered_set<int> failedBeforeRepair_;
    std::unordered_map<int, std::unique_ptr<ObjectStream>> objectStreams_;
    std::unique_ptr<Decryptor> decryptor_;
    int encryptNum_ = -1;
    std::vector<PageEntry> pages_;
    BudgetLease pagesLease_;
    DiagnosticList diagnostics_;
};

}  // namespace halvane

#endif
