// Raw deflate (as stored in zip entries) of a byte stream, written to a sink as it is
// produced, with the CRC-32 and the sizes a zip entry needs.
#ifndef MORVANE_STROME_CORE_DEFLATER_H
#define MORVANE_STROME_CORE_DEFLATER_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "byte_sink.h"

namespace strome {

class Deflater {
public:
    explicit Deflater(ByteSink& out);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // False once compression or the sink failed; later calls then do nothing.
    bool Write(const void* data, size_t size);
    bool Finish();

    bool ok() const { return ok_; }
    uint32_t crc() const { return crc_; }
    uint64_t rawSize() const { return rawSize_; }
    uint64_t compressedSize() const { return compressedSize_; }

private:
    bool Pump(int flush);

    ByteSink& out_;
    struct State;
    State* state_;
    bool ok_ = true;
    bool finished_ = false;
    uint32_t crc_ = 0;
    uint64_t rawSize_ = 0;
    uint64_t compressedSize_ = 0;
};

// Whole-buffer helpers for small parts.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

}  // namespace strome

#endif
