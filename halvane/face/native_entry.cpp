// The contract's entry points for native builds (tools and tests): paths are UTF-16 there too,
// converted to UTF-8 for the C library.
#include <string>

#include "halvane.h"
#include "halvane/face/pdf_doc.h"

namespace {

std::string Utf16ToUtf8(const qrn_wchar* s)
{
    std::string out;
    for (size_t i = 0; s[i]; ++i) {
        uint32_t c = static_cast<uint16_t>(s[i]);
        if (c >= 0xD800 && c <= 0xDBFF && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(s[i + 1]) - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace

extern "C" int LoadDoc(const qrn_wchar* path, qrn_IPdfDoc** doc)
{
    if (!doc)
        return 0;
    *doc = nullptr;
    if (!path)
        return 0;
    try {
        halvane::ByteSource bytes;
        if (!halvane::ReadFileUtf8(Utf16ToUtf8(path), halvane::kMaxFileBytes, &bytes))
            return 0;
        *doc = halvane::PdfDoc::Open(std::move(bytes), halvane::ExtractOptions());
        return *doc ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" void FreeDoc(qrn_IPdfDoc* doc)
{
    delete static_cast<halvane::PdfDoc*>(doc);
}
