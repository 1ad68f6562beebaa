// Fuzz entry: Flate data, then a TIFF or PNG predictor with parameters from the first 4 bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "halvane/filters/filters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    halvane::PredictorParams params;
    const int predictors[] = {1, 2, 10, 11, 12, 13, 14, 15};
    params.predictor = predictors[data[0] % 8];
    params.colors = 1 + data[1] % 4;
    const int bits[] = {1, 2, 4, 8, 16};
    params.bitsPerComponent = bits[data[2] % 5];
    params.columns = 1 + data[3] * 4;
    std::string out;
    if (halvane::FlateDecode(data + 4, size - 4, 16u << 20, &out))
        halvane::UndoPredictor(params, &out);
    return 0;
}
