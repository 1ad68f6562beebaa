// The code words of ITU-T T.4 (Tables 2 and 3: run lengths; Table 4: two-dimensional modes),
// also used by T.6. Each code is written as its bit string, most significant bit first.
#ifndef HALVANE_FILTERS_CCITT_CODES_H
#define HALVANE_FILTERS_CCITT_CODES_H

#include <cstddef>

namespace halvane {

struct CcittRunCode {
    const char* bits;
    int run;  // 0..63 terminating codes, multiples of 64 make-up codes
};

struct CcittRunCodes {
    const CcittRunCode* codes;
    size_t count;
};

// Terminating and make-up codes of one colour, the extended make-up codes (1792..2560) included.
CcittRunCodes CcittWhiteRunCodes();
CcittRunCodes CcittBlackRunCodes();

enum class CcittMode {
    Pass,
    Horizontal,
    Vertical,  // with an offset -3..3 of a1 from b1
};

struct CcittModeCode {
    const char* bits;
    CcittMode mode;
    int offset;  // vertical modes only
};

struct CcittModeCodes {
    const CcittModeCode* codes;
    size_t count;
};

CcittModeCodes CcittTwoDimensionalModeCodes();

// The end-of-line code: eleven 0 bits and a 1.
constexpr const char* kCcittEndOfLine = "000000000001";

}  // namespace halvane

#endif
