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

// JBIG2 data as PDF embeds it (ISO 32000-1, 7.4.7): one page's segments, after those of the
// optional globals stream. The page is cropped or padded (white) to width x height and written as
// rows of 1-bit samples with 0 for black, as a 1-bit DeviceGray image or a stencil mask reads
// them. False when there is no page or the data uses coding not decoded here (refinement,
// Huffman tables, halftones, MMR): such an image is left out rather than shown wrong.
bool Jbig2Decode(const uint8_t* data, size_t size, const uint8_t* globals, size_t globalsSize, int width, int height,
                 std::string* out);

struct PredictorParams {
    int predictor = 1;  // 1 none, 2 TIFF, 10..15 PNG
    int colors = 1;
    int bitsPerComponent = 8;
    int columns = 1;
};

// CCITTFaxDecode parameters (ISO 32000-1, Table 11).
struct CcittParams {
    int k = 0;  // <0 Group 4, 0 Group 3 one-dimensional, >0 Group 3 two-dimensional
    bool endOfLine = false;  // every row starts with an end-of-line code
    bool encodedByteAlign = false;  // rows (or their end-of-line codes) are padded to a byte boundary
    int columns = 1728;
    int rows = 0;  // 0: as many as the data holds
    bool blackIs1 = false;
    int damagedRowsBeforeError = 0;  // rows replaced and skipped to the next end-of-line code
};

// Fax decoding (ITU-T T.4 and T.6) to rows of 1-bit pixels, each row padded to whole bytes; 0 is
// black unless blackIs1. Decoding ends at the first damaged row beyond those tolerated, keeping the
// rows before it; when params.rows is known the missing rows are white.
bool CcittFaxDecode(const CcittParams& params, const uint8_t* data, size_t size, size_t maxOutput, std::string* out);

// Undoes a TIFF or PNG predictor in place. False when the parameters are unusable.
bool UndoPredictor(const PredictorParams& params, std::string* data);

}  // namespace halvane

#endif
