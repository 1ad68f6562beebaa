// The contract's entry points for native builds (tools and tests): paths are UTF-16 there too,
// converted to UTF-8 for the C library.
#include <string>

#include "halvane.h"
#include "halvane/face/pdf_doc.h"
#include "unicode_text.h"

namespace {

// A lone surrogate in a path becomes U+FFFD: no file can be named with it in UTF-8.
std::string Utf16ToUtf8(const qrn_wchar* s)
{
    size_t length = 0;
    while (s[length])
        ++length;
    std::string out;
    morvane::DecodeUtf16(
        s, length, [&](uint32_t c) { morvane::AppendUtf8(c, &out); }, morvane::kReplacementChar);
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
