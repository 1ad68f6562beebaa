#include "media_store.h"

#include <string.h>

#include "deflater.h"

namespace strome {

namespace {
// Stays below the 65 535 entries a zip without zip64 can hold, with room for the other parts.
constexpr size_t kMaxPictures = 60000;
}  // namespace

ImageKind SniffImage(const void* data, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(data);
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (!p)
        return ImageKind::kUnknown;
    if (size > 8 && memcmp(p, kPng, 8) == 0)
        return ImageKind::kPng;
    if (size > 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF)
        return ImageKind::kJpeg;
    return ImageKind::kUnknown;
}

const char* ImageExtension(ImageKind kind)
{
    return kind == ImageKind::kPng ? "png" : "jpeg";
}

const char* ImageContentType(ImageKind kind)
{
    return kind == ImageKind::kPng ? "image/png" : "image/jpeg";
}

bool MediaStore::SameBytes(const Item& item, const unsigned char* data, size_t size)
{
    unsigned char chunk[16 * 1024];
    for (size_t done = 0; done < size;) {
        size_t n = size - done < sizeof chunk ? size - done : sizeof chunk;
        if (!spool_->ReadAt(item.offset + done, chunk, n) || memcmp(chunk, data + done, n) != 0)
            return false;
        done += n;
    }
    return true;
}

int MediaStore::Add(const void* data, size_t size)
{
    ImageKind kind = SniffImage(data, size);
    if (kind == ImageKind::kUnknown || failed_)
        return -1;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (!spool_)
        spool_ = MakeSpool();
    uint32_t crc = Crc32(bytes, size);
    auto range = byCrcAndSize_.equal_range({crc, size});
    for (auto it = range.first; it != range.second; ++it)
        if (SameBytes(items_[it->second], bytes, size))
            return it->second;
    if (items_.size() >= kMaxPictures)
        return -1;
    uint64_t offset = spool_->Size();
    if (!spool_->Write(bytes, size)) {
        failed_ = true;  // scratch space ran out: this and later pictures are left out
        return -1;
    }
    items_.push_back(Item{kind, offset, size, crc, std::string(), false});
    int index = int(items_.size() - 1);
    byCrcAndSize_.emplace(std::make_pair(crc, uint64_t(size)), index);
    return index;
}

MediaStore::Item* MediaStore::Find(int index)
{
    return index >= 0 && size_t(index) < items_.size() ? &items_[index] : nullptr;
}

}  // namespace strome
