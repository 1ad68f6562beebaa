// TIFF predictor 2 and the PNG row filters (ISO 32000-1, 7.4.4.4) used after Flate and LZW.
#include <cstdlib>
#include <vector>

#include "halvane/filters/filters.h"

namespace halvane {

namespace {

bool UndoTiff(const PredictorParams& p, std::string* data)
{
    const size_t bitsPerPixel = static_cast<size_t>(p.colors) * p.bitsPerComponent;
    const size_t rowBytes = (bitsPerPixel * p.columns + 7) / 8;
    if (rowBytes == 0)
        return false;
    unsigned char* d = reinterpret_cast<unsigned char*>(&(*data)[0]);
    const size_t rows = data->size() / rowBytes;
    for (size_t r = 0; r < rows; ++r) {
        unsigned char* row = d + r * rowBytes;
        if (p.bitsPerComponent == 8) {
            for (size_t i = static_cast<size_t>(p.colors); i < rowBytes; ++i)
                row[i] = static_cast<unsigned char>(row[i] + row[i - p.colors]);
        } else if (p.bitsPerComponent == 16) {
            const size_t step = static_cast<size_t>(p.colors) * 2;
            for (size_t i = step; i + 1 < rowBytes; i += 2) {
                const unsigned v = ((row[i] << 8) | row[i + 1]) + ((row[i - step] << 8) | row[i + 1 - step]);
                row[i] = static_cast<unsigned char>(v >> 8);
                row[i + 1] = static_cast<unsigned char>(v);
            }
        } else {
            // Sub-byte components: work component by component.
            const int bpc = p.bitsPerComponent;
            const unsigned mask = (1u << bpc) - 1;
            std::vector<unsigned> previous(static_cast<size_t>(p.colors), 0);
            for (size_t px = 0; px < static_cast<size_t>(p.columns); ++px) {
                for (int c = 0; c < p.colors; ++c) {
                    const size_t bit = (px * p.colors + c) * bpc;
                    const size_t byte = bit / 8;
                    const int shift = 8 - bpc - static_cast<int>(bit % 8);
                    if (byte >= rowBytes || shift < 0)
                        continue;
                    const unsigned v = ((row[byte] >> shift) & mask);
                    const unsigned nv = (v + previous[c]) & mask;
                    row[byte] = static_cast<unsigned char>((row[byte] & ~(mask << shift)) | (nv << shift));
                    previous[c] = nv;
                }
            }
        }
    }
    return true;
}

bool UndoPng(const PredictorParams& p, std::string* data)
{
    const size_t bytesPerPixel = (static_cast<size_t>(p.colors) * p.bitsPerComponent + 7) / 8;
    const size_t rowBytes = (static_cast<size_t>(p.colors) * p.bitsPerComponent * p.columns + 7) / 8;
    if (rowBytes == 0 || bytesPerPixel == 0)
        return false;
    const size_t inRow = rowBytes + 1;
    const size_t rows = (data->size() + inRow - 1) / inRow;
    std::string result(rows * rowBytes, '\0');
    std::vector<unsigned char> prior(rowBytes, 0);
    const unsigned char* in = reinterpret_cast<const unsigned char*>(data->data());
    unsigned char* outBase = reinterpret_cast<unsigned char*>(&result[0]);
    size_t outRows = 0;
    for (size_t r = 0; r < rows; ++r) {
        const size_t offset = r * inRow;
        if (offset >= data->size())
            break;
        const int type = in[offset];
        const size_t avail = data->size() - offset - 1 < rowBytes ? data->size() - offset - 1 : rowBytes;
        unsigned char* row = outBase + r * rowBytes;
        for (size_t i = 0; i < rowBytes; ++i) {
            const unsigned raw = i < avail ? in[offset + 1 + i] : 0;
            const unsigned left = i >= bytesPerPixel ? row[i - bytesPerPixel] : 0;
            const unsigned up = prior[i];
            const unsigned upLeft = i >= bytesPerPixel ? prior[i - bytesPerPixel] : 0;
            unsigned v;
            switch (type) {
            case 1:
                v = raw + left;
                break;
            case 2:
                v = raw + up;
                break;
            case 3:
                v = raw + ((left + up) >> 1);
                break;
            case 4: {
                const int pa = std::abs(static_cast<int>(up) - static_cast<int>(upLeft));
                const int pb = std::abs(static_cast<int>(left) - static_cast<int>(upLeft));
                const int pc = std::abs(static_cast<int>(left) + static_cast<int>(up) - 2 * static_cast<int>(upLeft));
                const unsigned pred = (pa <= pb && pa <= pc) ? left : (pb <= pc ? up : upLeft);
                v = raw + pred;
                break;
            }
            default:
                v = raw;
                break;
            }
            row[i] = static_cast<unsigned char>(v);
        }
        for (size_t i = 0; i < rowBytes; ++i)
            prior[i] = row[i];
        ++outRows;
    }
    result.resize(outRows * rowBytes);
    data->swap(result);
    return true;
}

}  // namespace

bool UndoPredictor(const PredictorParams& params, std::string* data)
{
    if (params.predictor <= 1)
        return true;
    if (params.colors < 1 || params.colors > 32 || params.columns < 1 || params.columns > (1 << 24))
        return false;
    switch (params.bitsPerComponent) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
        break;
    default:
        return false;
    }
    if (params.predictor == 2)
        return UndoTiff(params, data);
    if (params.predictor >= 10)
        return UndoPng(params, data);
    return false;
}

}  // namespace halvane
