#include "halvane/syntax/byte_source.h"

namespace halvane {

bool ByteSource::ReadFile(FILE* file, size_t maxBytes)
{
    bytes_.clear();
    if (!file)
        return false;
    std::vector<uint8_t> data;
    // Size hint from the end position; the loop below does not trust it.
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        if (end > 0 && static_cast<unsigned long>(end) <= maxBytes)
            data.reserve(static_cast<size_t>(end));
        std::fseek(file, 0, SEEK_SET);
    }
    uint8_t chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (got == 0)
            break;
        if (data.size() + got > maxBytes)
            return false;
        data.insert(data.end(), chunk, chunk + got);
    }
    if (std::ferror(file))
        return false;
    bytes_ = std::move(data);
    return true;
}

bool ReadFileUtf8(const std::string& path, size_t maxBytes, ByteSource* out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    const bool ok = out->ReadFile(f, maxBytes);
    std::fclose(f);
    return ok;
}

}  // namespace halvane
