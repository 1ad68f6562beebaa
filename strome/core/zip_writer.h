// Writes a zip archive (PKWARE APPNOTE, without the zip64 extensions) entry by entry to a
// sink: local header, data, and at the end the central directory. Every entry's CRC and
// sizes are known before its header is written, so no data descriptors are needed.
// An archive that would pass 4 GiB (or 65 535 entries) is refused with a failure instead of
// being written with wrapped-around offsets.
#ifndef MORVANE_STROME_CORE_ZIP_WRITER_H
#define MORVANE_STROME_CORE_ZIP_WRITER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "byte_sink.h"
#include "spool.h"

namespace strome {

enum class ZipMethod : uint16_t { kStored = 0, kDeflated = 8 };

class ZipWriter {
public:
    // sizeLimit: the largest archive allowed; tests lower it to reach the limit cheaply.
    explicit ZipWriter(ByteSink& out, uint64_t sizeLimit = 0xFFFFFFFFu);

    // Compresses data in memory and adds it.
    bool AddDeflated(const std::string& name, const std::string& data);
    // Adds an entry whose (already compressed, for kDeflated) bytes lie in a spool.
    bool AddFromSpool(const std::string& name, ZipMethod method, uint32_t crc, uint64_t rawSize, Spool& spool,
                      uint64_t offset, uint64_t storedSize);
    // Writes the central directory; the archive is complete only when this succeeds.
    bool Finish();

    bool ok() const { return ok_; }

private:
    struct Entry {
        std::string name;
        ZipMethod method;
        uint32_t crc;
        uint32_t rawSize;
        uint32_t storedSize;
        uint32_t headerOffset;
    };

    bool BeginEntry(const std::string& name, ZipMethod method, uint32_t crc, uint64_t rawSize, uint64_t storedSize);
    bool Put(const void* data, size_t size);

    ByteSink& out_;
    uint64_t sizeLimit_;
    uint64_t offset_ = 0;
    std::vector<Entry> entries_;
    bool ok_ = true;
};

}  // namespace strome

#endif
