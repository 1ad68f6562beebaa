// Scratch storage for what a document collects before Save: the compressed body and the
// picture bytes. A temporary file keeps memory flat for long documents; memory is the
// fallback when no temporary file can be made.
#ifndef MORVANE_STROME_CORE_SPOOL_H
#define MORVANE_STROME_CORE_SPOOL_H

#include <stdint.h>
#include <stdio.h>

#include <memory>
#include <string>

#include "byte_sink.h"

namespace strome {

class Spool : public ByteSink {
public:
    virtual uint64_t Size() const = 0;
    // Copies size bytes from offset into buffer; false when they are not there.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
    // Copies size bytes from offset to sink, in bounded chunks.
    bool CopyTo(ByteSink& sink, uint64_t offset, uint64_t size);
};

class MemorySpool : public Spool {
public:
    bool Write(const void* data, size_t size) override;
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t size) override;

private:
    std::string bytes_;
};

// A spool over a temporary file that the platform deletes when it is closed.
class FileSpool : public Spool {
public:
    explicit FileSpool(FILE* file) : file_(file) { }
    ~FileSpool() override;
    bool Write(const void* data, size_t size) override;
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t size) override;

private:
    FILE* file_;
    uint64_t size_ = 0;
    bool failed_ = false;  // a write failed: no more writes
    bool atEnd_ = true;  // the file position is at the end, where the next Write goes
};

// A temporary-file spool, or a memory spool when no temporary file can be opened.
std::unique_ptr<Spool> MakeSpool();

}  // namespace strome

#endif
