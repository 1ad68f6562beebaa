// The bytes of one PDF file, held in memory for the document's life. Reading the whole file
// once is cheaper than seeking for every object and keeps every later read a bounds check.
#ifndef HALVANE_BYTE_SOURCE_H
#define HALVANE_BYTE_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace halvane {

class ByteSource {
public:
    ByteSource() = default;
    explicit ByteSource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) { }

    // Reads an open stdio file to its end. False (and no bytes) on a read error or when the
    // file is larger than maxBytes.
    bool ReadFile(FILE* file, size_t maxBytes);

    const uint8_t* Data() const { return bytes_.data(); }
    size_t Size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

// Opens a file named in UTF-8 (Unix) and reads it. False when it cannot be opened or read.
bool ReadFileUtf8(const std::string& path, size_t maxBytes, ByteSource* out);

}  // namespace halvane

#endif
