#include "output_name.h"

namespace {

size_t Length(const qrn_wchar* text, size_t limit)
{
    size_t n = 0;
    while (n < limit && text[n])
        ++n;
    return n;
}

}  // namespace

bool BuildOutputPath(const qrn_wchar* pdfPath, qrn_wchar* outDir, const qrn_wchar* extension, qrn_string* outPath)
{
    if (!pdfPath || !outDir || !extension || !outPath)
        return false;
    const qrn_string pdf(pdfPath);
    const size_t slash = pdf.rfind(u'\\');
    if (slash == qrn_string::npos || slash + 1 == pdf.size())
        return false;
    const qrn_string fileName = pdf.substr(slash + 1);
    const qrn_string baseName = fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : fileName;

    qrn_string folder;
    const size_t dirLength = Length(outDir, OUTPUT_DIR_CHARS);
    if (dirLength == OUTPUT_DIR_CHARS)
        return false;  // not terminated within its buffer
    if (dirLength == 0) {
        folder = pdf.substr(0, slash + 1);
    } else {
        if (outDir[dirLength - 1] != u'\\' && outDir[dirLength - 1] != u'/') {
            if (dirLength + 1 >= OUTPUT_DIR_CHARS)
                return false;
            outDir[dirLength] = u'\\';
            outDir[dirLength + 1] = 0;
        }
        folder = outDir;
    }
    *outPath = folder + baseName + extension;
    return true;
}
