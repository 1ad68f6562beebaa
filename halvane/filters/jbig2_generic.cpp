#include "halvane/filters/jbig2_generic.h"

#include <algorithm>
#include <cstring>

namespace halvane::jbig2 {

namespace {

// The context in which each row's "same as the row above" flag is coded (T.88, 6.2.5.7).
constexpr uint32_t kTypicalContext[4] = {0x9B25, 0x0795, 0x00E5, 0x0195};

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

namespace {

// The nominal pixels of each template around the pixel at bit 0 of line0 (x-1) and bit 4 of
// line1/line2 (x, on the rows above), with the adaptive pixels' bits.
template <int Template> inline uint32_t Context(uint32_t line0, uint32_t line1, uint32_t line2, const uint32_t* at)
{
    if (Template == 0)
        return (line0 & 0xF) | at[0] << 4 | ((line1 >> 2) & 0x1F) << 5 | at[1] << 10 | at[2] << 11 |
               ((line2 >> 3) & 0x7) << 12 | at[3] << 15;
    if (Template == 1)
        return (line0 & 0x7) | at[0] << 3 | ((line1 >> 2) & 0x1F) << 4 | ((line2 >> 2) & 0xF) << 9;
    if (Template == 2)
        return (line0 & 0x3) | at[0] << 2 | ((line1 >> 3) & 0xF) << 3 | ((line2 >> 3) & 0x7) << 7;
    return (line0 & 0xF) | at[0] << 4 | ((line1 >> 3) & 0x1F) << 5;
}

struct AdaptiveSource {
    int line = -1;  // 0, 1 or 2: taken from that row's window; -1: looked up in the bitmap
    int bit = 0;
};

template <int Template> void DecodeRows(MqDecoder& mq, const GenericRegionParams& p, MqContext* cx, Bitmap* out)
{
    constexpr int kAtCount = Template == 0 ? 4 : 1;
    // Rows above hold pixels x+4 (bit 0) down to x-27 (bit 31); the current row holds x-1 (bit 0)
    // down to x-32. Adaptive pixels within those windows come from them; others are looked up.
    AdaptiveSource source[4];
    bool allInWindows = true;
    for (int i = 0; i < kAtCount; ++i) {
        const int dx = p.atX[i], dy = p.atY[i];
        if ((dy == -1 || dy == -2) && dx <= 4 && dx >= -27)
            source[i] = {-dy, 4 - dx};
        else if (dy == 0 && dx >= -32)
            source[i] = {0, -dx - 1};
        else
            allInWindows = false;
    }
    const int width = p.width;
    const size_t stride = out->Stride();
    // The rows above, padded with white so the look-ahead needs no bounds checks.
    std::vector<uint8_t> above1(stride + 2, 0), above2(stride + 2, 0);
    int ltp = 0;
    for (int y = 0; y < p.height; ++y) {
        uint8_t* row = out->Row(y);
        if (p.typicalPrediction) {
            ltp ^= mq.Decode(&cx[kTypicalContext[Template]]);
            if (ltp) {
                if (y > 0)
                    std::memcpy(row, out->Row(y - 1), stride);
                continue;
            }
        }
        std::fill(above1.begin(), above1.end(), 0);
        std::fill(above2.begin(), above2.end(), 0);
        if (y >= 1)
            std::memcpy(above1.data(), out->Row(y - 1), stride);
        if (y >= 2)
            std::memcpy(above2.data(), out->Row(y - 2), stride);
        const uint8_t* up1 = above1.data();
        const uint8_t* up2 = above2.data();
        // Pixels 0..3 of the rows above.
        uint32_t lines[3] = {0, static_cast<uint32_t>(up1[0] >> 4), static_cast<uint32_t>(up2[0] >> 4)};
        uint32_t at[4] = {0, 0, 0, 0};
        for (int x = 0; x < width; ++x) {
            const int ahead = x + 4;
            const int shift = 7 - (ahead & 7);
            lines[1] = (lines[1] << 1) | ((up1[ahead >> 3] >> shift) & 1);
            lines[2] = (lines[2] << 1) | ((up2[ahead >> 3] >> shift) & 1);
            for (int i = 0; i < kAtCount; ++i) {
                at[i] = allInWindows || source[i].line >= 0
                            ? (lines[source[i].line] >> source[i].bit) & 1
                            : static_cast<uint32_t>(out->Get(x + p.atX[i], y + p.atY[i]));
            }
            const int pixel = mq.Decode(&cx[Context<Template>(lines[0], lines[1], lines[2], at)]);
            lines[0] = (lines[0] << 1) | static_cast<uint32_t>(pixel);
            if (pixel)
                row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80 >> (x & 7)));
        }
    }
}

}  // namespace

bool DecodeGenericRegion(MqDecoder& mq, const GenericRegionParams& p, std::vector<MqContext>* contexts,
                         int64_t maxPixels, Bitmap* out)
{
    if (p.templateId < 0 || p.templateId > 3 || !ValidAdaptivePixels(p) ||
        contexts->size() != GenericContextCount(p.templateId) || !out->Allocate(p.width, p.height, 0, maxPixels))
        return false;
    if (p.width == 0 || p.height == 0)
        return true;  // an empty bitmap codes no pixels
    switch (p.templateId) {
    case 0:
        DecodeRows<0>(mq, p, contexts->data(), out);
        break;
    case 1:
        DecodeRows<1>(mq, p, contexts->data(), out);
        break;
    case 2:
        DecodeRows<2>(mq, p, contexts->data(), out);
        break;
    default:
        DecodeRows<3>(mq, p, contexts->data(), out);
        break;
    }
    return true;
}

}  // namespace halvane::jbig2
