#include "halvane/images/image_encoder.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "halvane/filters/filters.h"
#include "halvane/syntax/find_bytes.h"
#include "halvane/images/png_writer.h"

namespace halvane {

namespace {

// Larger images are left out: their pixels alone would take a 32-bit process to its limits.
constexpr int64_t kMaxPixels = 25 * 1000 * 1000;
// Writers sometimes leave a line end or a few stray bytes before a JPEG's start-of-image marker.
constexpr size_t kMaxJpegLeadIn = 1024;

// Inline images abbreviate keys and names (ISO 32000-1, 8.9.7).
const Object& Entry(const Dict& dict, const char* full, const char* shortKey)
{
    const Object& v = dict.Get(full);
    return v.IsNull() ? dict.Get(shortKey) : v;
}

std::string ExpandColorSpaceName(const std::string& n)
{
    if (n == "G")
        return "DeviceGray";
    if (n == "RGB")
        return "DeviceRGB";
    if (n == "CMYK")
        return "DeviceCMYK";
    if (n == "I")
        return "Indexed";
    return n;
}

struct ColorModel {
    int components = 0;  // per sample in the data
    bool cmyk = false;
    bool inverted = false;  // Separation tint: 1 is full ink
    // Indexed images: palette of RGB triples.
    bool indexed = false;
    std::vector<uint8_t> palette;
    int paletteBase = 0;  // components of the base space
    bool paletteCmyk = false;
};

bool ReadColorSpace(Document& doc, const Object& csIn, const Object* resources, ColorModel* cm, int depth)
{
    if (depth > 4)
        return false;
    const Object& cs = doc.Resolve(csIn);
    if (cs.IsName()) {
        const std::string n = ExpandColorSpaceName(cs.Str());
        if (n == "DeviceGray" || n == "CalGray") {
            cm->components = 1;
            return true;
        }
        if (n == "DeviceRGB" || n == "CalRGB") {
            cm->components = 3;
            return true;
        }
        if (n == "DeviceCMYK") {
            cm->components = 4;
            cm->cmyk = true;
            return true;
        }
        // A named colour space of the resources.
        if (resources) {
            const Object& spaces = doc.Resolve(doc.Resolve(*resources)["ColorSpace"]);
            const Object& named = spaces.GetDict().Get(cs.Str());
            if (!named.IsNull())
                return ReadColorSpace(doc, named, nullptr, cm, depth + 1);
        }
        return false;
    }
    if (!cs.IsArray() || cs.ArraySize() == 0)
        return false;
    const Object& family = doc.Resolve(cs.At(0));
    const std::string name = family.IsName() ? ExpandColorSpaceName(family.Str()) : std::string();
    if (name == "ICCBased") {
        const Object& stream = doc.Resolve(cs.At(1));
        const int n = doc.Resolve(stream["N"]).GetIntClamped(0);
        if (n == 1 || n == 3 || n == 4) {
            cm->components = n;
            cm->cmyk = n == 4;
            return true;
        }
        return ReadColorSpace(doc, stream["Alternate"], resources, cm, depth + 1);
    }
    if (name == "CalRGB" || name == "Lab") {
        cm->components = 3;
        return true;
    }
    if (name == "CalGray") {
        cm->components = 1;
        return true;
    }
    if (name == "Separation") {
        cm->components = 1;
        cm->inverted = true;
        return true;
    }
    if (name == "Indexed") {
        ColorModel base;
        if (!ReadColorSpace(doc, cs.At(1), resources, &base, depth + 1) || base.indexed)
            return false;
        const int hival = doc.Resolve(cs.At(2)).GetIntClamped(-1);
        if (hival < 0 || hival > 255)
            return false;
        const Object& lookup = doc.Resolve(cs.At(3));
        std::string table;
        if (lookup.IsString()) {
            table = lookup.Str();
        } else if (lookup.IsStream()) {
            DecodedData d;
            if (!doc.DecodeStream(lookup, 1u << 20, &d))
                return false;
            table.swap(d.bytes);
        }
        cm->indexed = true;
        cm->components = 1;
        cm->paletteBase = base.components;
        cm->paletteCmyk = base.cmyk;
        cm->palette.assign(static_cast<size_t>(hival + 1) * 3, 0);
        for (int i = 0; i <= hival; ++i) {
            uint8_t c[4] = {0, 0, 0, 0};
            for (int k = 0; k < base.components && k < 4; ++k) {
                const size_t at = static_cast<size_t>(i) * base.components + k;
                c[k] = at < table.size() ? static_cast<uint8_t>(table[at]) : 0;
            }
            uint8_t* p = &cm->palette[static_cast<size_t>(i) * 3];
            if (base.components == 1) {
                p[0] = p[1] = p[2] = base.inverted ? static_cast<uint8_t>(255 - c[0]) : c[0];
            } else if (base.cmyk) {
                for (int k = 0; k < 3; ++k)
                    p[k] = static_cast<uint8_t>((255 - c[k]) * (255 - c[3]) / 255);
            } else {
                p[0] = c[0];
                p[1] = c[1];
                p[2] = c[2];
            }
        }
        return true;
    }
    if (name == "DeviceN") {
        const int n = static_cast<int>(doc.Resolve(cs.At(1)).ArraySize());
        if (n == 1) {
            cm->components = 1;
            cm->inverted = true;
            return true;
        }
        return false;
    }
    if (cs.ArraySize() == 1)
        return ReadColorSpace(doc, cs.At(0), resources, cm, depth + 1);
    return false;
}

// JBIG2 data is decoded here rather than in the filter chain: its shared segments live in the
// /JBIG2Globals stream, which the document fetches and decodes like any other stream.
bool DecodeJbig2(Document& doc, int width, int height, DecodedData* decoded)
{
    constexpr size_t kMaxGlobals = 8u << 20;
    std::string globals;
    const Object& globalsStream = doc.Resolve(decoded->imageCodecParms["JBIG2Globals"]);
    DecodedData g;
    if (globalsStream.IsStream() && doc.DecodeStream(globalsStream, kMaxGlobals, &g) && g.imageCodec.empty())
        globals.swap(g.bytes);
    std::string samples;
    if (!Jbig2Decode(reinterpret_cast<const uint8_t*>(decoded->bytes.data()), decoded->bytes.size(),
                     reinterpret_cast<const uint8_t*>(globals.data()), globals.size(), width, height, &samples))
        return false;
    decoded->bytes.swap(samples);
    decoded->imageCodec.clear();
    return true;
}

// DCT data is a JPEG file from its start-of-image marker on.
bool TakeJpeg(std::string* data)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data->data());
    const uint8_t* start = FindBytes(bytes, std::min(data->size(), kMaxJpegLeadIn + 3), "\xFF\xD8\xFF", 3);
    if (!start)
        return false;
    data->erase(0, static_cast<size_t>(start - bytes));
    return data->size() > 4;
}

// Sample values to component values 0..255, or to palette indices, through the image's /Decode
// array (ISO 32000-1, 8.9.5.2): sample 0 maps to Dmin and the largest sample to Dmax. 16-bit
// samples are looked up by their high byte.
std::vector<uint8_t> ComponentTable(Document& doc, const Object& decode, int component, int bpc, bool indexed)
{
    const uint32_t maxSample = bpc >= 8 ? 255u : (1u << bpc) - 1;
    double dmin = 0, dmax = indexed ? static_cast<double>((1u << std::min(bpc, 8)) - 1) : 1.0;
    const size_t at = static_cast<size_t>(component) * 2;
    if (decode.ArraySize() >= at + 2) {
        const double lo = doc.Resolve(decode.At(at)).GetNumber();
        const double hi = doc.Resolve(decode.At(at + 1)).GetNumber();
        if (std::isfinite(lo) && std::isfinite(hi)) {
            dmin = lo;
            dmax = hi;
        }
    }
    std::vector<uint8_t> table(maxSample + 1);
    for (uint32_t v = 0; v <= maxSample; ++v) {
        const double x = dmin + v * (dmax - dmin) / maxSample;
        const double value = indexed ? x : x * 255;
        table[v] = static_cast<uint8_t>(std::lround(std::min(255.0, std::max(0.0, value))));
    }
    return table;
}

// A soft mask says where the image is transparent; a document shows it on white paper, so the
// pixels are blended onto white (a drawing on a transparent background would otherwise turn black).
// One bit a sample of black and white (scans, fax pages, black stencils) goes to a 1-bit PNG
// without being spread into a byte a pixel. table maps a sample to its grey value; a stencil
// marks the page in black where that value is dark. Rows the data does not hold are white.
bool EncodeBilevel(int width, int height, const std::string& samples, const std::vector<uint8_t>& table, bool mask,
                   bool inverted, std::string* out)
{
    auto white = [&](int sample) {
        const int grey = table[static_cast<size_t>(sample)];
        return mask ? grey >= 128 : (inverted ? 255 - grey : grey) >= 128;
    };
    const bool white0 = white(0), white1 = white(1);
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    const size_t rows = std::min<size_t>(static_cast<size_t>(height), samples.size() / rowBytes);
    if (rows == 0)
        return false;
    std::vector<uint8_t> bits(rowBytes * static_cast<size_t>(height), 0xFF);
    const uint8_t* src = reinterpret_cast<const uint8_t*>(samples.data());
    for (size_t i = 0; i < rowBytes * rows; ++i) {
        const uint8_t b = src[i];
        // In the PNG a set bit is white.
        bits[i] = white0 == white1 ? (white0 ? 0xFF : 0x00) : white1 ? b : static_cast<uint8_t>(~b);
    }
    const int spare = static_cast<int>(rowBytes * 8 - static_cast<size_t>(width));
    if (spare > 0)  // the bits past the row's end stay clear
        for (size_t y = 0; y < static_cast<size_t>(height); ++y)
            bits[y * rowBytes + rowBytes - 1] &= static_cast<uint8_t>(0xFF << spare);
    return WriteBilevelPng(width, height, bits.data(), out);
}

void BlendSoftMask(Document& doc, const Object& image, int width, int height, int channels,
                   std::vector<uint8_t>* pixels)
{
    const Object& mask = doc.Resolve(image["SMask"]);
    if (!mask.IsStream())
        return;
    const int mw = doc.Resolve(mask["Width"]).GetIntClamped(0);
    const int mh = doc.Resolve(mask["Height"]).GetIntClamped(0);
    const int bpc = doc.Resolve(mask["BitsPerComponent"]).GetIntClamped(8);
    if (mw <= 0 || mh <= 0 || static_cast<int64_t>(mw) * mh > kMaxPixels || bpc != 8)
        return;
    DecodedData alpha;
    if (!doc.DecodeStream(mask, static_cast<size_t>(mw) * mh + 4096, &alpha) || !alpha.imageCodec.empty() ||
        alpha.bytes.size() < static_cast<size_t>(mw) * mh)
        return;
    const uint8_t* a = reinterpret_cast<const uint8_t*>(alpha.bytes.data());
    const Object& decode = doc.Resolve(mask["Decode"]);
    const bool inverted =
        decode.ArraySize() >= 2 && doc.Resolve(decode.At(0)).GetNumber() > doc.Resolve(decode.At(1)).GetNumber();
    for (int y = 0; y < height; ++y) {
        const int my = static_cast<int>(static_cast<int64_t>(y) * mh / height);
        for (int x = 0; x < width; ++x) {
            const int mx = static_cast<int>(static_cast<int64_t>(x) * mw / width);
            const unsigned sample = a[static_cast<size_t>(my) * mw + mx];
            const unsigned alphaValue = inverted ? 255 - sample : sample;
            uint8_t* p = &(*pixels)[(static_cast<size_t>(y) * width + x) * channels];
            for (int c = 0; c < channels; ++c)
                p[c] = static_cast<uint8_t>((p[c] * alphaValue + 255 * (255 - alphaValue)) / 255);
        }
    }
}

}  // namespace

bool EncodeImage(Document& doc, const ImageEvent& ev, std::string* out)
{
    const bool isInline = ev.xobject == nullptr;
    if (isInline && (!ev.inlineDict || !ev.inlineData))
        return false;
    // Why an image is left out goes to the document's diagnostics (inline images have no object).
    const StreamInfo* stream = isInline ? nullptr : ev.xobject->GetStream();
    auto drop = [&](DiagCode why) {
        doc.Report(why, stream ? stream->ref.num : DiagnosticList::kNoObject,
                   stream ? static_cast<int64_t>(stream->offset) : DiagnosticList::kNoOffset);
        return false;
    };
    const Dict& dict = isInline ? *ev.inlineDict : ev.xobject->GetDict();
    const int width = doc.Resolve(Entry(dict, "Width", "W")).GetIntClamped(0);
    const int height = doc.Resolve(Entry(dict, "Height", "H")).GetIntClamped(0);
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxPixels)
        return drop(DiagCode::ImageSizeUnusable);
    // The samples' size follows from the image's own description; decoding stops there, so a
    // small stream cannot expand into a huge one. JPEG data passes through at its own size.
    const bool mask = doc.Resolve(Entry(dict, "ImageMask", "IM")).GetBool(false);
    int bpc = mask ? 1 : doc.Resolve(Entry(dict, "BitsPerComponent", "BPC")).GetIntClamped(8);
    ColorModel cm;
    const bool haveColorSpace = mask || ReadColorSpace(doc, Entry(dict, "ColorSpace", "CS"), ev.resources, &cm, 0);
    if (mask)
        cm.components = 1;
    const int components = haveColorSpace ? cm.components : 4;
    const int sampleBits = (bpc == 1 || bpc == 2 || bpc == 4 || bpc == 8) ? bpc : 16;
    const size_t expected =
        (static_cast<size_t>(width) * components * sampleBits + 7) / 8 * static_cast<size_t>(height);
    const size_t limit = expected + expected / 8 + (1u << 20);
    DecodedData decoded;
    if (isInline) {
        const std::string& raw = *ev.inlineData;
        if (!DecodeFilters(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), Entry(dict, "Filter", "F"),
                           Entry(dict, "DecodeParms", "DP"), doc.Resolver(), limit, &decoded))
            return drop(DiagCode::ImageDropped);
    } else if (!doc.DecodeStream(*ev.xobject, std::max(limit, ev.xobject->GetStream()->length + 4096), &decoded)) {
        return drop(DiagCode::ImageDropped);
    }
    // The decoded samples, and below the pixels, count in the document's budget while they
    // live: an image that does not fit is left out and the page goes on without it.
    const BudgetLease samplesLease(doc.Budget(), decoded.bytes.size());
    if (!samplesLease.Held())
        return false;
    if (decoded.imageCodec == "DCTDecode") {
        if (!TakeJpeg(&decoded.bytes))
            return drop(DiagCode::ImageDropped);
        out->swap(decoded.bytes);
        return true;
    }
    if (decoded.imageCodec == "JBIG2Decode" &&
        (bpc != 1 || cm.components != 1 || !DecodeJbig2(doc, width, height, &decoded)))
        return drop(DiagCode::ImageDropped);
    if (!decoded.imageCodec.empty())
        return drop(DiagCode::ImageCodecUnsupported);  // JPX has no form a document can embed
    if (!haveColorSpace)
        return drop(DiagCode::ImageColorSpaceUnknown);
    if (bpc != 1 && bpc != 2 && bpc != 4 && bpc != 8 && bpc != 16)
        return drop(DiagCode::ImageDropped);
    const Object& decodeArr = doc.Resolve(Entry(dict, "Decode", "D"));
    std::vector<uint8_t> tables[4];
    for (int c = 0; c < cm.components && c < 4; ++c)
        tables[c] = ComponentTable(doc, decodeArr, c, bpc, cm.indexed);
    // A stencil mask marks the page with the fill colour where its decoded sample is 0.
    const uint8_t fill[3] = {static_cast<uint8_t>(ev.fillColor), static_cast<uint8_t>(ev.fillColor >> 8),
                             static_cast<uint8_t>(ev.fillColor >> 16)};
    const bool greyFill = fill[0] == fill[1] && fill[1] == fill[2];
    const size_t rowBits = static_cast<size_t>(width) * cm.components * bpc;
    const size_t rowBytes = (rowBits + 7) / 8;
    const std::string& samples = decoded.bytes;
    if (bpc == 1 && cm.components == 1 && !cm.indexed && (!mask || fill[0] + fill[1] + fill[2] == 0) &&
        (isInline || !doc.Resolve((*ev.xobject)["SMask"]).IsStream()))
        return EncodeBilevel(width, height, samples, tables[0], mask, cm.inverted, out) ||
               drop(DiagCode::ImageDataShort);
    const int outChannels = (cm.indexed || cm.components >= 3 || (mask && !greyFill)) ? 3 : 1;
    const size_t pixelBytes = static_cast<size_t>(width) * height * outChannels;
    const BudgetLease pixelsLease(doc.Budget(), pixelBytes + pixelBytes / 2);  // and about as much for the PNG
    if (!pixelsLease.Held())
        return false;
    std::vector<uint8_t> pixels(pixelBytes, 0xFF);
    const uint32_t maxValue = (1u << bpc) - 1;
    const uint8_t* src = reinterpret_cast<const uint8_t*>(samples.data());
    const size_t rows = std::min<size_t>(static_cast<size_t>(height), samples.size() / (rowBytes ? rowBytes : 1));
    if (rows == 0)
        return drop(DiagCode::ImageDataShort);
    for (size_t y = 0; y < rows; ++y) {
        const uint8_t* row = src + y * rowBytes;
        uint8_t* dst = &pixels[y * static_cast<size_t>(width) * outChannels];
        for (int x = 0; x < width; ++x) {
            uint32_t comp[4] = {0, 0, 0, 0};
            for (int c = 0; c < cm.components && c < 4; ++c) {
                const size_t sampleIndex = static_cast<size_t>(x) * cm.components + c;
                uint32_t v;
                if (bpc == 8) {
                    v = row[sampleIndex];
                } else if (bpc == 16) {
                    v = row[sampleIndex * 2];  // high byte
                } else {
                    const size_t bit = sampleIndex * bpc;
                    v = (row[bit / 8] >> (8 - bpc - bit % 8)) & maxValue;
                }
                comp[c] = tables[c][v];
            }
            if (mask) {
                if (comp[0] < 128)
                    for (int c = 0; c < outChannels; ++c)
                        dst[x * outChannels + c] = fill[c];
            } else if (cm.indexed) {
                const size_t index = comp[0];
                if (index * 3 + 2 < cm.palette.size()) {
                    dst[x * 3] = cm.palette[index * 3];
                    dst[x * 3 + 1] = cm.palette[index * 3 + 1];
                    dst[x * 3 + 2] = cm.palette[index * 3 + 2];
                }
            } else if (cm.components == 1) {
                dst[x] = static_cast<uint8_t>(cm.inverted ? 255 - comp[0] : comp[0]);
            } else if (cm.cmyk) {
                for (int c = 0; c < 3; ++c)
                    dst[x * 3 + c] = static_cast<uint8_t>((255 - comp[c]) * (255 - comp[3]) / 255);
            } else {
                for (int c = 0; c < 3; ++c)
                    dst[x * 3 + c] = static_cast<uint8_t>(comp[c]);
            }
        }
    }
    if (!isInline)
        BlendSoftMask(doc, *ev.xobject, width, height, outChannels, &pixels);
    return WritePng(width, height, outChannels, pixels.data(), out) || drop(DiagCode::ImageDropped);
}

}  // namespace halvane
