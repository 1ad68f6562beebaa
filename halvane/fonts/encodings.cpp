#include "halvane/fonts/encodings.h"

namespace halvane {
namespace {
#include "generated/base_encodings.inc"
}  // namespace

const char* const* EncodingGlyphNames(BaseEncoding encoding)
{
    switch (encoding) {
    case BaseEncoding::Standard:
        return kStandardEncoding;
    case BaseEncoding::WinAnsi:
        return kWinAnsiEncoding;
    case BaseEncoding::MacRoman:
        return kMacRomanEncoding;
    case BaseEncoding::MacExpert:
        return kMacExpertEncoding;
    case BaseEncoding::Symbol:
        return kSymbolEncoding;
    case BaseEncoding::ZapfDingbats:
        return kZapfDingbatsEncoding;
    case BaseEncoding::PdfDoc:
        return kPdfDocEncoding;
    }
    return kStandardEncoding;
}

bool LookupBaseEncoding(std::string_view name, BaseEncoding* encoding)
{
    struct Named {
        std::string_view name;
        BaseEncoding encoding;
    };
    static const Named kNames[] = {
        {"StandardEncoding", BaseEncoding::Standard}, {"WinAnsiEncoding", BaseEncoding::WinAnsi},
        {"MacRomanEncoding", BaseEncoding::MacRoman}, {"MacExpertEncoding", BaseEncoding::MacExpert},
        {"PDFDocEncoding", BaseEncoding::PdfDoc},
    };
    for (const Named& n : kNames) {
        if (n.name == name) {
            *encoding = n.encoding;
            return true;
        }
    }
    return false;
}

char16_t PdfDocToUnicode(uint8_t code)
{
    return kPdfDocToUnicode[code];
}

}  // namespace halvane
