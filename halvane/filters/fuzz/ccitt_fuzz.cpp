// Fuzz entry: CCITT fax data with its parameters taken from the first 4 bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "halvane/filters/filters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    halvane::CcittParams params;
    params.k = (data[0] % 3) - 1;  // Group 4, Group 3 1-D, Group 3 2-D
    params.endOfLine = data[0] & 4;
    params.encodedByteAlign = data[0] & 8;
    params.blackIs1 = data[0] & 16;
    params.columns = 1 + data[1] * 16 + (data[2] & 15);
    params.rows = (data[2] >> 4) * 8;
    params.damagedRowsBeforeError = data[3] % 4;
    std::string out;
    halvane::CcittFaxDecode(params, data + 4, size - 4, 16u << 20, &out);
    return 0;
}
