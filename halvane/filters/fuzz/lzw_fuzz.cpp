// Fuzz entry: LZW data (first byte: early change on or off), then a predictor from bytes 1-3.
#include <cstddef>
#include <cstdint>
#include <string>

#include "halvane/filters/filters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    halvane::PredictorParams params;
    params.predictor = (data[1] & 1) ? 2 : 10 + data[1] % 6;
    params.colors = 1 + data[2] % 4;
    params.columns = 1 + data[3];
    std::string out;
    if (halvane::LzwDecode(data + 4, size - 4, data[0] & 1, 16u << 20, &out) && (data[1] & 2))
        halvane::UndoPredictor(params, &out);
    return 0;
}
