// What one open document may hold in memory at a time, beyond its file's own bytes.
//
// The shipped reader is a 32-bit DLL: the whole program has 2 GiB of address space, shared with
// the main window, the writer and the page records of a conversion, and fragmented after a
// while. Several documents are open at once (the file list opens each added file to count its
// pages while the worker converts another), so one document must not be able to take it all.
// No real page needs more than this: a 600-dpi A4 colour scan is 105 MB of pixels.
#ifndef HALVANE_DOCUMENT_MEMORY_BUDGET_H
#define HALVANE_DOCUMENT_MEMORY_BUDGET_H

#include <cstddef>

namespace halvane {

constexpr size_t kDocumentMemoryBudget = 256u << 20;

// Bytes a document's large buffers (decoded streams, object streams, the page list, image
// pixels) hold. A request that does not fit is refused whole: the caller gives up that one
// object and the document carries on with the rest.
class MemoryBudget {
public:
    explicit MemoryBudget(size_t limit = kDocumentMemoryBudget) : limit_(limit) { }
    size_t Limit() const { return limit_; }
    size_t Available() const { return limit_ - used_; }
    size_t Peak() const { return peak_; }
    int Refusals() const { return refusals_; }
    bool Take(size_t bytes)
    {
        if (bytes > Available()) {
            ++refusals_;
            return false;
        }
        used_ += bytes;
        peak_ = used_ > peak_ ? used_ : peak_;
        return true;
    }
    void Give(size_t bytes) { used_ -= bytes < used_ ? bytes : used_; }
    // A buffer that stopped short because the budget bounded it (a decoded stream) counts as
    // refused too.
    void NoteRefusal() { ++refusals_; }

private:
    size_t limit_;
    size_t used_ = 0;
    size_t peak_ = 0;
    int refusals_ = 0;
};

// Holds bytes of a budget for as long as it lives.
class BudgetLease {
public:
    BudgetLease() = default;
    BudgetLease(MemoryBudget& budget, size_t bytes) : budget_(&budget), bytes_(budget.Take(bytes) ? bytes : 0)
    {
        if (bytes > 0 && bytes_ == 0)
            budget_ = nullptr;
    }
    BudgetLease(BudgetLease&& other) noexcept : budget_(other.budget_), bytes_(other.bytes_)
    {
        other.budget_ = nullptr;
    }
    BudgetLease& operator=(BudgetLease&& other) noexcept
    {
        if (this != &other) {
            Return();
            budget_ = other.budget_;
            bytes_ = other.bytes_;
            other.budget_ = nullptr;
        }
        return *this;
    }
    BudgetLease(const BudgetLease&) = delete;
    BudgetLease& operator=(const BudgetLease&) = delete;
    ~BudgetLease() { Return(); }

    // False when the budget refused the bytes.
    bool Held() const { return budget_ != nullptr; }
    // Takes more for a buffer that grows; false (and nothing more held) when refused.
    bool Grow(size_t more)
    {
        if (!budget_ || !budget_->Take(more))
            return false;
        bytes_ += more;
        return true;
    }

private:
    void Return()
    {
        if (budget_)
            budget_->Give(bytes_);
        budget_ = nullptr;
        bytes_ = 0;
    }

    MemoryBudget* budget_ = nullptr;
    size_t bytes_ = 0;
};

}  // namespace halvane

#endif
