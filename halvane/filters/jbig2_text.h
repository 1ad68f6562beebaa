// Symbol dictionaries and text regions of JBIG2 with arithmetic coding and without refinement
// (T.88, 6.4 and 6.5): the form scanners and PDF writers use for lossless and lossy text.
#ifndef HALVANE_FILTERS_JBIG2_TEXT_H
#define HALVANE_FILTERS_JBIG2_TEXT_H

#include <cstdint>
#include <memory>
#include <vector>

#include "halvane/filters/jbig2_arith.h"
#include "halvane/filters/jbig2_bitmap.h"

namespace halvane::jbig2 {

using Symbol = std::shared_ptr<const Bitmap>;

// Limits and accounting shared by one decode, so hostile data cannot make it run or grow without
// bound: every pixel decoded or drawn and every coded value costs work.
struct DecodeBudget {
    int64_t work = 0;  // left to spend
    int64_t symbolPixels = 0;  // left for new symbols' bitmaps
    int64_t symbolReferences = 0;  // left for the dictionaries' lists of exported symbols
    bool Spend(int64_t amount)
    {
        work -= amount < 1 ? 1 : amount;
        return work >= 0;
    }
};

struct SymbolDictionaryParams {
    int templateId = 0;  // SDTEMPLATE
    int8_t atX[4] = {0, 0, 0, 0};
    int8_t atY[4] = {0, 0, 0, 0};
    uint32_t exportedCount = 0;  // SDNUMEXSYMS
    uint32_t newCount = 0;  // SDNUMNEWSYMS
};

// Decodes the new symbols and returns the exported ones (from inputSymbols, then the new ones).
// genericContexts carries the bitmap coding contexts in and out. False on damaged data.
bool DecodeSymbolDictionary(MqDecoder& mq, const SymbolDictionaryParams& params,
                            const std::vector<Symbol>& inputSymbols, std::vector<MqContext>* genericContexts,
                            DecodeBudget* budget, std::vector<Symbol>* exported);

struct TextRegionParams {
    int width = 0;
    int height = 0;
    int logStrips = 0;  // LOGSBSTRIPS
    int refCorner = 0;  // 0 bottom left, 1 top left, 2 bottom right, 3 top right
    bool transposed = false;
    ComboOp combination = ComboOp::Or;  // SBCOMBOP
    int defaultPixel = 0;
    int dsOffset = 0;  // SBDSOFFSET
    uint32_t instances = 0;  // SBNUMINSTANCES
};

// Places symbol instances into a new region bitmap. False on damaged data.
bool DecodeTextRegion(MqDecoder& mq, const TextRegionParams& params, const std::vector<Symbol>& symbols,
                      int64_t maxPixels, DecodeBudget* budget, Bitmap* out);

}  // namespace halvane::jbig2

#endif
