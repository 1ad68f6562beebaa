// The standard stream decoders (ISO 32000-1, 7.4). Each takes the encoded bytes and appends at
// most maxOutput decoded bytes to *out; damaged input ends the output early instead of failing,
// since readers show what can be recovered. They return false only when nothing could be decoded
// at all or the output limit was reached.
#ifndef HALVANE_FILTERS_FILTERS_H
#define HALVANE_FILTERS_FILTERS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace halvane {

bool FlateDecode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out);
bool LzwDecode(const uint8_t* data, size_t size, bool earlyChange, size_t maxOutput, std::string* out);
bool Ascii85Decode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out);
bool AsciiHexDecode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out);
bool RunLengthDecode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out);

struct PredictorParams {
    int predictor = 1;         // 1 none, 2 TIFF, 10..15 PNG
    int colors = 1;
    int bitsPerComponent = 8;
    int columns = 1;
};

// Undoes a TIFF or PNG predictor in place. False when the parameters are unusable.
bool UndoPredictor(const PredictorParams& params, std::string* data);

}  // namespace halvane

#endif
