#include "jbig2_generic.h"

#include <cstring>

namespace halvane::jbig2 {

namespace {

// The context in which each row's "same as the row above" flag is coded (T.88, 6.2.5.7).
constexpr uint32_t kTypicalContext[4] = {0x9B25, 0x0795, 0x00E5, 0x0195};

inline uint32_t PixelAt(const uint8_t* row, int x, int width)
{
    if (!row || x < 0 || x >= width)
        return 0;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

}  // namespace

size_t GenericContextCount(int templateId)
{
    return templateId == 0 ? 1u << 16 : templateId == 1 ? 1u << 13 : 1u << 10;
}

bool ValidAdaptivePixels(const GenericRegionParams& p)
{
    const int count = p.templateId == 0 ? 4 : 1;
    for (int i = 0; i < count; ++i) {
        if (p.atY[i] > 0 || (p.atY[i] == 0 && p.atX[i] >= 0))
            return false;
    }
    return true;
}

bool DecodeGenericRegion(MqDecoder& mq, const GenericRegionParams& p, std::vector<MqContext>* contexts,
                         int64_t maxPixels, Bitmap* out)
{
    if (p.templateId < 0 || p.templateId > 3 || !ValidAdaptivePixels(p) ||
        contexts->size() != GenericContextCount(p.templateId) || !out->Allocate(p.width, p.height, 0, maxPixels))
        return false;
    MqContext* cx = contexts->data();
    const int width = p.width;
    const int atCount = p.templateId == 0 ? 4 : 1;
    // Rows above hold pixels x+4 (bit 0) down to x-27 (bit 31); the current row holds x-1 (bit 0)
    // down to x-32. Adaptive pixels within those windows come from them; others are looked up.
    int atBit[4];
    for (int i = 0; i < atCount; ++i) {
        const int dx = p.atX[i], dy = p.atY[i];
        if ((dy == -1 || dy == -2) && dx <= 4 && dx >= -27)
            atBit[i] = 4 - dx;
        else if (dy == 0 && dx >= -32)
            atBit[i] = -dx - 1;
        else
            atBit[i] = -1;
    }
    int ltp = 0;
    for (int y = 0; y < p.height; ++y) {
        uint8_t* row = out->Row(y);
        if (p.typicalPrediction) {
            ltp ^= mq.Decode(&cx[kTypicalContext[p.templateId]]);
            if (ltp) {
                if (y > 0)
                    std::memcpy(row, out->Row(y - 1), out->Stride());
                continue;
            }
        }
        const uint8_t* up1 = y >= 1 ? out->Row(y - 1) : nullptr;
        const uint8_t* up2 = y >= 2 ? out->Row(y - 2) : nullptr;
        uint32_t line1 = 0, line2 = 0, line0 = 0;
        for (int k = 0; k < 4; ++k) {
            line1 = (line1 << 1) | PixelAt(up1, k, width);
            line2 = (line2 << 1) | PixelAt(up2, k, width);
        }
        for (int x = 0; x < width; ++x) {
            line1 = (line1 << 1) | PixelAt(up1, x + 4, width);
            line2 = (line2 << 1) | PixelAt(up2, x + 4, width);
            uint32_t at[4] = {0, 0, 0, 0};
            for (int i = 0; i < atCount; ++i) {
                if (atBit[i] < 0)
                    at[i] = static_cast<uint32_t>(out->Get(x + p.atX[i], y + p.atY[i]));
                else if (p.atY[i] == 0)
                    at[i] = (line0 >> atBit[i]) & 1;
                else
                    at[i] = ((p.atY[i] == -1 ? line1 : line2) >> atBit[i]) & 1;
            }
            uint32_t context;
            switch (p.templateId) {
            case 0:
                context = (line0 & 0xF) | at[0] << 4 | ((line1 >> 2) & 0x1F) << 5 | at[1] << 10 | at[2] << 11 |
                          ((line2 >> 3) & 0x7) << 12 | at[3] << 15;
                break;
            case 1:
                context = (line0 & 0x7) | at[0] << 3 | ((line1 >> 2) & 0x1F) << 4 | ((line2 >> 2) & 0xF) << 9;
                break;
            case 2:
                context = (line0 & 0x3) | at[0] << 2 | ((line1 >> 3) & 0xF) << 3 | ((line2 >> 3) & 0x7) << 7;
                break;
            default:
                context = (line0 & 0xF) | at[0] << 4 | ((line1 >> 3) & 0x1F) << 5;
                break;
            }
            const int pixel = mq.Decode(&cx[context]);
            line0 = (line0 << 1) | static_cast<uint32_t>(pixel);
            if (pixel)
                row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80 >> (x & 7)));
        }
    }
    return true;
}

}  // namespace halvane::jbig2
