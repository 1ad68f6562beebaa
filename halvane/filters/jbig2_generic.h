// The generic region decoding procedure of JBIG2 with arithmetic coding (T.88, 6.2.5).
#ifndef HALVANE_FILTERS_JBIG2_GENERIC_H
#define HALVANE_FILTERS_JBIG2_GENERIC_H

#include <cstdint>
#include <vector>

#include "halvane/filters/jbig2_arith.h"
#include "halvane/filters/jbig2_bitmap.h"

namespace halvane::jbig2 {

struct GenericRegionParams {
    int width = 0;
    int height = 0;
    int templateId = 0;  // GBTEMPLATE 0..3
    bool typicalPrediction = false;  // TPGDON
    // Adaptive template pixels (four for template 0, one for the others), relative to the pixel.
    int8_t atX[4] = {0, 0, 0, 0};
    int8_t atY[4] = {0, 0, 0, 0};
};

// Contexts a template needs: 2^16, 2^13, 2^10, 2^10.
size_t GenericContextCount(int templateId);

// The adaptive pixels must lie before the pixel being decoded (above it, or left of it on its
// row) and within the range the segment header can express.
bool ValidAdaptivePixels(const GenericRegionParams& params);

// Decodes params.width x params.height pixels into *out. contexts holds
// GenericContextCount(templateId) entries and carries over between calls where the caller
// shares them (symbol dictionaries). False when the parameters are unusable.
bool DecodeGenericRegion(MqDecoder& mq, const GenericRegionParams& params, std::vector<MqContext>* contexts,
                         int64_t maxPixels, Bitmap* out);

}  // namespace halvane::jbig2

#endif
