// The four plain functions of the writer. In the Windows build these are the exports of
// strome.dll; natively they are an ordinary static library with the same calls.
#include <new>
#include <string>

#include "docx_objects.h"

namespace {
// Paths longer than this are no paths (the longest Windows path is 32 767 characters).
constexpr size_t kMaxPathLength = 32768;
}  // namespace

extern "C" {

STROME_API int Docx_Init(void)
{
    return 1;
}

STROME_API void Docx_Fini(void)
{ }

STROME_API int Docx_Create(qrn_IDocx** doc, const qrn_wchar* path)
{
    if (!doc)
        return 0;
    *doc = nullptr;
    if (!path)
        return 0;
    try {
        std::u16string target;
        for (size_t i = 0; path[i] != 0; ++i) {
            if (i >= kMaxPathLength)
                return 0;
            target += char16_t(path[i]);
        }
        std::unique_ptr<strome::Document> document = strome::Document::Create(target);
        if (!document)
            return 0;
        *doc = new strome::DocxDocument(std::move(document));
        return 1;
    } catch (...) {
        return 0;
    }
}

STROME_API void Docx_Delete(qrn_IDocx* doc)
{
    delete static_cast<strome::DocxDocument*>(doc);
}

}  // extern "C"
