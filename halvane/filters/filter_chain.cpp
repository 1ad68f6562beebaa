#include "halvane/filters/filter_chain.h"

#include "halvane/filters/filters.h"

namespace halvane {

namespace {

std::string CanonicalFilterName(const std::string& name)
{
    if (name == "AHx")
        return "ASCIIHexDecode";
    if (name == "A85")
        return "ASCII85Decode";
    if (name == "LZW")
        return "LZWDecode";
    if (name == "Fl")
        return "FlateDecode";
    if (name == "RL")
        return "RunLengthDecode";
    if (name == "DCT")
        return "DCTDecode";
    if (name == "CCF")
        return "CCITTFaxDecode";
    return name;
}

// EndOfBlock needs no reading: two end-of-line codes in a row end the data in any case, and
// decoding stops after Rows rows.
CcittParams ReadCcittParams(const Object& parms, const ResolveFn& resolve)
{
    CcittParams p;
    p.k = resolve(parms["K"]).GetIntClamped(p.k);
    p.endOfLine = resolve(parms["EndOfLine"]).GetBool(p.endOfLine);
    p.encodedByteAlign = resolve(parms["EncodedByteAlign"]).GetBool(p.encodedByteAlign);
    p.columns = resolve(parms["Columns"]).GetIntClamped(p.columns);
    p.rows = resolve(parms["Rows"]).GetIntClamped(p.rows);
    p.blackIs1 = resolve(parms["BlackIs1"]).GetBool(p.blackIs1);
    p.damagedRowsBeforeError = resolve(parms["DamagedRowsBeforeError"]).GetIntClamped(p.damagedRowsBeforeError);
    return p;
}

bool ApplyOne(const std::string& name, const Object& parms, const ResolveFn& resolve, size_t maxOutput,
              std::string* data)
{
    std::string out;
    const uint8_t* in = reinterpret_cast<const uint8_t*>(data->data());
    const size_t n = data->size();
    bool ok;
    if (name == "FlateDecode") {
        ok = FlateDecode(in, n, maxOutput, &out);
    } else if (name == "LZWDecode") {
        const Object& early = resolve(parms["EarlyChange"]);
        ok = LzwDecode(in, n, early.GetInt(1) != 0, maxOutput, &out);
    } else if (name == "ASCII85Decode") {
        ok = Ascii85Decode(in, n, maxOutput, &out);
    } else if (name == "ASCIIHexDecode") {
        ok = AsciiHexDecode(in, n, maxOutput, &out);
    } else if (name == "RunLengthDecode") {
        ok = RunLengthDecode(in, n, maxOutput, &out);
    } else if (name == "CCITTFaxDecode") {
        ok = CcittFaxDecode(ReadCcittParams(parms, resolve), in, n, maxOutput, &out);
    } else if (name == "Crypt") {
        return true;  // identity crypt filter; real decryption happens before the chain
    } else {
        return false;
    }
    if (!ok)
        return false;
    if (name == "FlateDecode" || name == "LZWDecode") {
        PredictorParams p;
        p.predictor = resolve(parms["Predictor"]).GetIntClamped(1);
        if (p.predictor > 1) {
            p.colors = resolve(parms["Colors"]).GetIntClamped(1);
            p.bitsPerComponent = resolve(parms["BitsPerComponent"]).GetIntClamped(8);
            p.columns = resolve(parms["Columns"]).GetIntClamped(1);
            if (!UndoPredictor(p, &out))
                return false;
        }
    }
    data->swap(out);
    return true;
}

}  // namespace

bool DecodeFilters(const uint8_t* data, size_t size, const Object& filterIn, const Object& parmsIn,
                   const ResolveFn& resolve, size_t maxOutput, DecodedData* out)
{
    out->bytes.assign(reinterpret_cast<const char*>(data), size);
    out->imageCodec.clear();
    const Object& filter = resolve(filterIn);
    const Object& parms = resolve(parmsIn);
    Array names;
    Array parmList;
    if (filter.IsName()) {
        names.push_back(filter);
        parmList.push_back(parms.IsArray() ? parms.At(0) : parms);
    } else if (filter.IsArray()) {
        for (size_t i = 0; i < filter.ArraySize(); ++i) {
            names.push_back(resolve(filter.At(i)));
            parmList.push_back(parms.IsArray() ? parms.At(i) : (i == 0 ? parms : Object()));
        }
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (!names[i].IsName())
            return false;
        const std::string name = CanonicalFilterName(names[i].Str());
        const Object& p = resolve(parmList[i]);
        if (name == "DCTDecode" || name == "JPXDecode" || name == "JBIG2Decode") {
            out->imageCodec = name;
            out->imageCodecParms = p;
            return true;
        }
        if (!ApplyOne(name, p, resolve, maxOutput, &out->bytes))
            return false;
    }
    return true;
}

}  // namespace halvane
