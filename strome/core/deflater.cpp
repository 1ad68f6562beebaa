#include "deflater.h"

#include <zlib.h>

#include <climits>

namespace strome {

struct Deflater::State {
    z_stream stream{};
    unsigned char buffer[32 * 1024];
};

Deflater::Deflater(ByteSink& out) : out_(out), state_(new State)
{
    // windowBits -15: raw deflate without the zlib header, as zip wants it.
    if (deflateInit2(&state_->stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete state_;
        state_ = nullptr;
        ok_ = false;
    }
}

Deflater::~Deflater()
{
    if (state_) {
        deflateEnd(&state_->stream);
        delete state_;
    }
}

bool Deflater::Pump(int flush)
{
    z_stream& z = state_->stream;
    for (;;) {
        z.next_out = state_->buffer;
        z.avail_out = sizeof state_->buffer;
        int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR) {
            ok_ = false;
            return false;
        }
        size_t produced = sizeof state_->buffer - z.avail_out;
        if (produced > 0 && !out_.Write(state_->buffer, produced)) {
            ok_ = false;
            return false;
        }
        compressedSize_ += produced;
        if (flush == Z_FINISH ? rc == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0))
            return true;
    }
}

bool Deflater::Write(const void* data, size_t size)
{
    if (!ok_ || finished_)
        return false;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        uInt chunk = size > UINT_MAX / 2 ? UINT_MAX / 2 : static_cast<uInt>(size);
        crc_ = static_cast<uint32_t>(crc32(crc_, p, chunk));
        rawSize_ += chunk;
        state_->stream.next_in = const_cast<Bytef*>(p);
        state_->stream.avail_in = chunk;
        if (!Pump(Z_NO_FLUSH))
            return false;
        p += chunk;
        size -= chunk;
    }
    return true;
}

bool Deflater::Finish()
{
    if (!ok_ || finished_)
        return ok_;
    state_->stream.next_in = nullptr;
    state_->stream.avail_in = 0;
    finished_ = true;
    return Pump(Z_FINISH);
}

uint32_t Crc32(const void* data, size_t size, uint32_t crc)
{
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        uInt chunk = size > UINT_MAX / 2 ? UINT_MAX / 2 : static_cast<uInt>(size);
        crc = static_cast<uint32_t>(crc32(crc, p, chunk));
        p += chunk;
        size -= chunk;
    }
    return crc;
}

}  // namespace strome
