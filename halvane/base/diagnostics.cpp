#include "halvane/base/diagnostics.h"

#include <algorithm>
#include <limits>

namespace halvane {

const char* DiagCodeName(DiagCode code)
{
    switch (code) {
#define HALVANE_DIAGNOSTIC_NAME(name, value)                                                                           \
    case DiagCode::name:                                                                                               \
        return #name;
        HALVANE_DIAGNOSTIC_CODES(HALVANE_DIAGNOSTIC_NAME)
#undef HALVANE_DIAGNOSTIC_NAME
    }
    return "Unknown";
}

void DiagnosticList::Report(DiagCode code, int object, int64_t offset)
{
    const auto key = std::make_tuple(static_cast<uint16_t>(code), object, offset);
    auto it = index_.find(key);
    if (it != index_.end()) {
        uint32_t& count = entries_[it->second].count;
        if (count < std::numeric_limits<uint32_t>::max())
            ++count;
        return;
    }
    if (entries_.size() >= kMaxEntries) {
        ++dropped_;
        return;
    }
    index_.emplace(key, entries_.size());
    entries_.push_back(Diagnostic{code, object, offset, 1});
}

bool DiagnosticList::Has(DiagCode code) const
{
    return std::any_of(entries_.begin(), entries_.end(), [&](const Diagnostic& d) { return d.code == code; });
}

bool DiagnosticList::Has(DiagCode code, int object) const
{
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Diagnostic& d) { return d.code == code && d.object == object; });
}

}  // namespace halvane
