// Fuzz entry: opens arbitrary bytes as a PDF and extracts every page (text and images).
// Built as a libFuzzer program with clang; the test suite replays the checked-in seeds through
// the same function.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "halvane/face/pdf_doc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (4u << 20))
        return 0;
    halvane::ByteSource bytes(std::vector<uint8_t>(data, data + size));
    halvane::PdfDoc* doc = halvane::PdfDoc::Open(std::move(bytes), halvane::ExtractOptions());
    if (!doc)
        return 0;
    const int count = doc->GetPageCount();
    for (int n = 1; n <= count && n <= 50; ++n) {
        stPdfPage* page = nullptr;
        if (doc->LoadPage(n, &page))
            doc->FreePage(page);
    }
    delete doc;
    return 0;
}
