// LZW decoding (ISO 32000-1, 7.4.4): 9- to 12-bit codes, 256 clear, 257 end of data.
#include <vector>

#include "halvane/filters/filters.h"

namespace halvane {

bool LzwDecode(const uint8_t* data, size_t size, bool earlyChange, size_t maxOutput, std::string* out)
{
    struct Entry {
        int prefix;  // previous code, -1 for the single bytes
        uint8_t last;  // final byte
        uint8_t first;  // first byte of the whole sequence
        int length;
    };
    std::vector<Entry> table;
    table.reserve(4096);
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < 256; ++i)
            table.push_back(Entry{-1, static_cast<uint8_t>(i), static_cast<uint8_t>(i), 1});
        table.push_back(Entry{-1, 0, 0, 0});  // 256 clear
        table.push_back(Entry{-1, 0, 0, 0});  // 257 end
    };
    reset();
    const size_t start = out->size();
    int codeBits = 9;
    int previous = -1;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    size_t pos = 0;
    std::string sequence;
    for (;;) {
        while (bitCount < codeBits && pos < size) {
            bitBuffer = (bitBuffer << 8) | data[pos++];
            bitCount += 8;
        }
        if (bitCount < codeBits)
            break;
        const int code = static_cast<int>((bitBuffer >> (bitCount - codeBits)) & ((1u << codeBits) - 1));
        bitCount -= codeBits;
        if (code == 256) {
            reset();
            codeBits = 9;
            previous = -1;
            continue;
        }
        if (code == 257)
            break;
        int emit;
        if (code < static_cast<int>(table.size())) {
            emit = code;
        } else if (code == static_cast<int>(table.size()) && previous >= 0) {
            emit = -1;  // the KwKwK case: previous sequence plus its own first byte
        } else {
            break;  // damaged
        }
        // Write the sequence of `emit` (or the special case).
        const int src = emit >= 0 ? emit : previous;
        const Entry& e = table[src];
        sequence.assign(static_cast<size_t>(e.length), '\0');
        int c = src;
        for (int i = e.length - 1; i >= 0 && c >= 0; --i) {
            sequence[static_cast<size_t>(i)] = static_cast<char>(table[c].last);
            c = table[c].prefix;
        }
        if (emit < 0)
            sequence.push_back(static_cast<char>(e.first));
        if (out->size() - start + sequence.size() > maxOutput)
            return false;
        out->append(sequence);
        if (previous >= 0 && table.size() < 4096) {
            const Entry& p = table[previous];
            table.push_back(Entry{previous, static_cast<uint8_t>(sequence[0]), p.first, p.length + 1});
        }
        previous = emit >= 0 ? emit : static_cast<int>(table.size()) - 1;
        const int next = static_cast<int>(table.size()) + (earlyChange ? 1 : 0);
        if (next >= 2048)
            codeBits = 12;
        else if (next >= 1024)
            codeBits = 11;
        else if (next >= 512)
            codeBits = 10;
        else
            codeBits = 9;
    }
    return out->size() > start;
}

}  // namespace halvane
