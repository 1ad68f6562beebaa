// Applies a stream's /Filter list with its /DecodeParms. Image codecs (DCT, JPX, JBIG2) end the
// chain: their data is handed on still encoded, with the codec's name. CCITT fax data is decoded
// like any other filter's, to rows of 1-bit samples.
#ifndef HALVANE_FILTERS_FILTER_CHAIN_H
#define HALVANE_FILTERS_FILTER_CHAIN_H

#include <functional>
#include <string>

#include "halvane/syntax/object.h"

namespace halvane {

using ResolveFn = std::function<const Object&(const Object&)>;

struct DecodedData {
    std::string bytes;
    std::string imageCodec;  // "DCTDecode", "JPXDecode", ... when the chain stopped at one
    Object imageCodecParms;  // that filter's parameters
};

// Decodes raw stream bytes. filter/parms are the /Filter and /DecodeParms values (inline images
// use /F and /DP, possibly with abbreviated names). False when a filter is unknown or its data
// unusable, or when the output would exceed maxOutput.
bool DecodeFilters(const uint8_t* data, size_t size, const Object& filter, const Object& parms,
                   const ResolveFn& resolve, size_t maxOutput, DecodedData* out);

}  // namespace halvane

#endif
