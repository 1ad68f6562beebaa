#include "spool.h"

#include <string.h>

#include "platform_files.h"

namespace strome {

namespace {
int SeekTo(FILE* file, uint64_t offset, int origin)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), origin);
#else
    return fseeko(file, static_cast<off_t>(offset), origin);
#endif
}
}  // namespace

bool Spool::CopyTo(ByteSink& sink, uint64_t offset, uint64_t size)
{
    char chunk[64 * 1024];
    while (size > 0) {
        size_t n = size < sizeof chunk ? static_cast<size_t>(size) : sizeof chunk;
        if (!ReadAt(offset, chunk, n) || !sink.Write(chunk, n))
            return false;
        offset += n;
        size -= n;
    }
    return true;
}

bool MemorySpool::Write(const void* data, size_t size)
{
    bytes_.append(static_cast<const char*>(data), size);
    return true;
}

bool MemorySpool::ReadAt(uint64_t offset, void* buffer, size_t size)
{
    if (offset > bytes_.size() || size > bytes_.size() - offset)
        return false;
    memcpy(buffer, bytes_.data() + offset, size);
    return true;
}

FileSpool::~FileSpool()
{
    if (file_)
        fclose(file_);
}

bool FileSpool::Write(const void* data, size_t size)
{
    if (failed_)
        return false;
    if (!atEnd_) {
        if (SeekTo(file_, size_, SEEK_SET) != 0) {
            failed_ = true;
            return false;
        }
        atEnd_ = true;
    }
    if (size > 0 && fwrite(data, 1, size, file_) != size) {
        // Out of scratch space: what was stored before stays readable, nothing more is taken.
        failed_ = true;
        clearerr(file_);
        return false;
    }
    size_ += size;
    return true;
}

bool FileSpool::ReadAt(uint64_t offset, void* buffer, size_t size)
{
    if (offset > size_ || size > size_ - offset)
        return false;
    atEnd_ = false;
    // Reading after writing needs a positioning call in between (C stdio rule); fseek is one.
    return SeekTo(file_, offset, SEEK_SET) == 0 && fread(buffer, 1, size, file_) == size;
}

std::unique_ptr<Spool> MakeSpool()
{
    if (FILE* file = OpenScratchFile())
        return std::unique_ptr<Spool>(new FileSpool(file));
    return std::unique_ptr<Spool>(new MemorySpool());
}

}  // namespace strome
