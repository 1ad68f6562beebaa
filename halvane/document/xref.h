// Cross-reference data (ISO 32000-1, 7.5.4 and 7.5.8): where each object lives, plus the
// merged trailer. Reading follows /Prev chains and the /XRefStm of hybrid files; the newest
// definition of an object wins. Rebuilding scans the file when that data is unusable.
#ifndef HALVANE_XREF_H
#define HALVANE_XREF_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "halvane/base/diagnostics.h"
#include "halvane/syntax/object.h"

namespace halvane {

struct XrefEntry {
    enum Kind : uint8_t { Free = 0, Plain = 1, Compressed = 2 };
    Kind kind = Free;
    uint16_t gen = 0;
    uint32_t index = 0;  // Compressed: index within the object stream
    uint64_t offset = 0;  // Plain: file offset; Compressed: number of the object stream
};

// Object numbers above this are ignored: no real file needs more, and the table stays small.
constexpr int kMaxObjectNumber = 8 * 1024 * 1024;

class XrefTable {
public:
    const XrefEntry* Find(int num) const;
    // Records an entry unless a newer one is already known (sections are read newest first).
    void AddIfUnset(int num, const XrefEntry& entry);
    // Records an entry, replacing any earlier one (used by the rebuild scan, which reads oldest first).
    void Set(int num, const XrefEntry& entry);
    int Size() const { return static_cast<int>(entries_.size()); }
    void Clear();

    Dict trailer;

private:
    std::vector<XrefEntry> entries_;
    std::vector<bool> known_;
};

// Reads the cross-reference data the file points at with startxref. False when it is missing or
// damaged beyond use (the caller then rebuilds). What was damaged goes to diagnostics.
bool ReadXref(const uint8_t* data, size_t size, XrefTable* table, DiagnosticList* diagnostics);

// Rebuilds the table by scanning the whole file for "n g obj" headers, trailer dictionaries and
// cross-reference streams. Object streams found are registered by the caller.
bool RebuildXref(const uint8_t* data, size_t size, XrefTable* table, std::vector<int>* objectStreams);

}  // namespace halvane

#endif
