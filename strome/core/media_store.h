// The pictures of a document: bytes sniffed as PNG or JPEG, kept once per distinct image in
// a spool (a logo repeated on every page is stored once), each named as a media part when
// it is first placed.
#ifndef MORVANE_STROME_CORE_MEDIA_STORE_H
#define MORVANE_STROME_CORE_MEDIA_STORE_H

#include <stddef.h>
#include <stdint.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "spool.h"

namespace strome {

enum class ImageKind { kUnknown, kPng, kJpeg };

// By the signature at the start of the bytes: PNG's eight-byte signature, JPEG's SOI marker
// followed by another marker.
ImageKind SniffImage(const void* data, size_t size);
const char* ImageExtension(ImageKind kind);
const char* ImageContentType(ImageKind kind);

class MediaStore {
public:
    struct Item {
        ImageKind kind;
        uint64_t offset;
        uint64_t size;
        uint32_t crc;
        std::string relId;  // of the body's relationship to it; empty until the body shows it
        bool placed;  // shown somewhere in the document: it is a part of the package
    };

    // Keeps a copy of the bytes; returns the picture's index, or -1 when they are not PNG or
    // JPEG or cannot be stored.
    int Add(const void* data, size_t size);
    Item* Find(int index);
    const std::vector<Item>& items() const { return items_; }
    Spool* spool() { return spool_.get(); }
    bool failed() const { return failed_; }

private:
    bool SameBytes(const Item& item, const unsigned char* data, size_t size);

    std::unique_ptr<Spool> spool_;
    std::vector<Item> items_;
    std::multimap<std::pair<uint32_t, uint64_t>, int> byCrcAndSize_;
    bool failed_ = false;
};

}  // namespace strome

#endif
