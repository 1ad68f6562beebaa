#include "halvane/filters/jbig2_text.h"

#include "halvane/filters/jbig2_generic.h"

namespace halvane::jbig2 {

namespace {

// A symbol is at most this wide or tall; real glyphs are far smaller.
constexpr int64_t kMaxSymbolSide = 1 << 16;
// The work an integer costs: at most 38 binary decisions.
constexpr int64_t kIntegerCost = 40;

int CodeLength(size_t symbolCount)
{
    int bits = 0;
    while ((static_cast<size_t>(1) << bits) < symbolCount)
        ++bits;
    return bits;
}

}  // namespace

bool DecodeSymbolDictionary(MqDecoder& mq, const SymbolDictionaryParams& p, const std::vector<Symbol>& inputSymbols,
                            std::vector<MqContext>* genericContexts, DecodeBudget* budget,
                            std::vector<Symbol>* exported)
{
    IntegerDecoder heightDelta, widthDelta, exportRun;  // IADH, IADW, IAEX
    GenericRegionParams gp;
    gp.templateId = p.templateId;
    for (int i = 0; i < 4; ++i) {
        gp.atX[i] = p.atX[i];
        gp.atY[i] = p.atY[i];
    }
    std::vector<Symbol> created;
    int64_t classHeight = 0;
    while (created.size() < p.newCount) {
        int64_t dh;
        if (!budget->Spend(kIntegerCost) || !heightDelta.Decode(mq, &dh))
            return false;
        classHeight += dh;
        if (classHeight < 0 || classHeight > kMaxSymbolSide)
            return false;
        int64_t symbolWidth = 0;
        for (;;) {
            int64_t dw;
            if (!widthDelta.Decode(mq, &dw))
                break;  // the height class ends
            if (created.size() >= p.newCount)
                return false;
            symbolWidth += dw;
            const int64_t pixels = symbolWidth * classHeight;
            if (symbolWidth < 0 || symbolWidth > kMaxSymbolSide || !budget->Spend(pixels + kIntegerCost))
                return false;
            budget->symbolPixels -= pixels;
            if (budget->symbolPixels < 0)
                return false;
            gp.width = static_cast<int>(symbolWidth);
            gp.height = static_cast<int>(classHeight);
            auto symbol = std::make_shared<Bitmap>();
            if (!DecodeGenericRegion(mq, gp, genericContexts, kMaxSymbolSide * kMaxSymbolSide, symbol.get()))
                return false;
            created.push_back(std::move(symbol));
        }
    }
    // Which of the input and new symbols are exported: alternating runs of "not" and "yes".
    const size_t total = inputSymbols.size() + created.size();
    size_t index = 0;
    bool exporting = false;
    exported->clear();
    while (index < total) {
        int64_t run;
        if (!budget->Spend(kIntegerCost) || !exportRun.Decode(mq, &run) || run < 0 ||
            static_cast<uint64_t>(run) > total - index)
            return false;
        if (exporting) {
            for (int64_t k = 0; k < run; ++k, ++index)
                exported->push_back(index < inputSymbols.size() ? inputSymbols[index]
                                                                : created[index - inputSymbols.size()]);
        } else {
            index += static_cast<size_t>(run);
        }
        exporting = !exporting;
    }
    return exported->size() == p.exportedCount;
}

bool DecodeTextRegion(MqDecoder& mq, const TextRegionParams& p, const std::vector<Symbol>& symbols, int64_t maxPixels,
                      DecodeBudget* budget, Bitmap* out)
{
    if (!out->Allocate(p.width, p.height, p.defaultPixel, maxPixels) || symbols.size() > (1u << 20))
        return false;
    if (p.instances > 0 && symbols.empty())
        return false;
    // IADT, IAFS, IADS, IAIT; IAID
    IntegerDecoder stripDelta, firstS, sDelta, stripT;
    SymbolIdDecoder symbolId(CodeLength(symbols.size()));
    const int64_t strips = int64_t{1} << p.logStrips;
    const bool cornerRight = p.refCorner == 2 || p.refCorner == 3;
    const bool cornerBottom = p.refCorner == 0 || p.refCorner == 2;
    int64_t value;
    if (!stripDelta.Decode(mq, &value))
        return false;
    int64_t stripTop = -value * strips;
    int64_t firstSValue = 0;
    uint32_t placed = 0;
    // Coordinates stay far inside int64 range: each step adds at most about 2^32.
    constexpr int64_t kMaxCoordinate = int64_t{1} << 40;
    while (placed < p.instances) {
        if (!budget->Spend(kIntegerCost) || !stripDelta.Decode(mq, &value))
            return false;
        stripTop += value * strips;
        bool first = true;
        int64_t curS = 0;
        while (placed < p.instances) {
            if (first) {
                if (!firstS.Decode(mq, &value))
                    return false;
                firstSValue += value;
                curS = firstSValue;
                first = false;
            } else {
                if (!sDelta.Decode(mq, &value))
                    break;  // the strip ends
                curS += value + p.dsOffset;
            }
            int64_t curT = 0;
            if (strips > 1 && !stripT.Decode(mq, &curT))
                return false;
            const int64_t t = stripTop + curT;
            const uint32_t id = symbolId.Decode(mq);
            if (id >= symbols.size() || stripTop > kMaxCoordinate || stripTop < -kMaxCoordinate ||
                curS > kMaxCoordinate || curS < -kMaxCoordinate)
                return false;
            const Bitmap& symbol = *symbols[id];
            const int64_t w = symbol.Width(), h = symbol.Height();
            if (!budget->Spend(w * h + 3 * kIntegerCost))
                return false;
            // The reference corner sits at (S, T); S runs along the strip, T across it.
            if (!p.transposed && cornerRight)
                curS += w - 1;
            else if (p.transposed && cornerBottom)
                curS += h - 1;
            int64_t x, y;
            if (!p.transposed) {
                x = cornerRight ? curS - w + 1 : curS;
                y = cornerBottom ? t - h + 1 : t;
            } else {
                x = cornerRight ? t - w + 1 : t;
                y = cornerBottom ? curS - h + 1 : curS;
            }
            out->Compose(symbol, x, y, p.combination);
            if (!p.transposed && !cornerRight)
                curS += w - 1;
            else if (p.transposed && !cornerBottom)
                curS += h - 1;
            ++placed;
        }
    }
    return true;
}

}  // namespace halvane::jbig2
