// halvane.dll: the contract's entry points on Windows. Paths arrive as UTF-16 and are opened
// with _wfopen, so any file name the user can pick works; nothing is thrown past this layer.
#include <cstdio>
#include <new>

#include "halvane.h"
#include "halvane/face/pdf_doc.h"

namespace {

// Catches everything, including out-of-memory, so no exception crosses the DLL boundary.
template <typename Fn> int Guarded(Fn fn)
{
    try {
        return fn();
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" HALVANE_API int LoadDoc(const wchar_t* path, qrn_IPdfDoc** doc)
{
    if (!doc)
        return 0;
    *doc = nullptr;
    if (!path || !*path)
        return 0;
    return Guarded([&] {
        FILE* f = _wfopen(path, L"rb");
        if (!f)
            return 0;
        halvane::ByteSource bytes;
        const bool ok = bytes.ReadFile(f, halvane::kMaxFileBytes);
        std::fclose(f);
        if (!ok)
            return 0;
        *doc = halvane::PdfDoc::Open(std::move(bytes), halvane::ExtractOptions());
        return *doc ? 1 : 0;
    });
}

extern "C" HALVANE_API void FreeDoc(qrn_IPdfDoc* doc)
{
    try {
        delete static_cast<halvane::PdfDoc*>(doc);
    } catch (...) {
    }
}
