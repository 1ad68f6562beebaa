// Builds small PDF files in memory for tests: numbered objects, a correct cross-reference
// table and trailer, with hooks to damage them.
#ifndef HALVANE_TESTS_PDF_BUILDER_H
#define HALVANE_TESTS_PDF_BUILDER_H

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "halvane/syntax/byte_source.h"

namespace halvane::testing {

class PdfBuilder {
public:
    // Adds object num with the given body (without "num 0 obj"/"endobj").
    void Add(int num, const std::string& body) { objects_[num] = body; }
    // Adds a stream object with /Length filled in; extraDict goes inside the dictionary.
    void AddStream(int num, const std::string& data, const std::string& extraDict = "")
    {
        objects_[num] =
            "<< /Length " + std::to_string(data.size()) + " " + extraDict + " >>\nstream\n" + data + "\nendstream";
    }
    // A one-page document: catalog 1, pages 2, page 3, contents 4, font 5 (Helvetica).
    void AddSimplePage(const std::string& content, const std::string& pageExtra = "")
    {
        Add(1, "<< /Type /Catalog /Pages 2 0 R >>");
        Add(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
        Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> >> "
               "/Contents 4 0 R " +
                   pageExtra + " >>");
        AddStream(4, content);
        Add(5, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    }

    // The file: header, objects, classic xref and trailer (unless withXref is false).
    std::string Build(bool withXref = true, const std::string& trailerExtra = "") const
    {
        std::string out = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
        std::map<int, size_t> offsets;
        int maxNum = 0;
        for (const auto& o : objects_) {
            offsets[o.first] = out.size();
            out += std::to_string(o.first) + " 0 obj\n" + o.second + "\nendobj\n";
            maxNum = o.first > maxNum ? o.first : maxNum;
        }
        if (!withXref)
            return out + "%%EOF\n";
        const size_t xref = out.size();
        out += "xref\n0 " + std::to_string(maxNum + 1) + "\n0000000000 65535 f \n";
        for (int n = 1; n <= maxNum; ++n) {
            char line[32];
            auto it = offsets.find(n);
            if (it == offsets.end())
                std::snprintf(line, sizeof line, "%010d 00000 f \n", 0);
            else
                std::snprintf(line, sizeof line, "%010zu 00000 n \n", it->second);
            out += line;
        }
        out += "trailer\n<< /Size " + std::to_string(maxNum + 1) + " /Root 1 0 R " + trailerExtra + " >>\nstartxref\n" +
               std::to_string(xref) + "\n%%EOF\n";
        return out;
    }

private:
    std::map<int, std::string> objects_;
};

inline ByteSource Bytes(const std::string& s)
{
    return ByteSource(std::vector<uint8_t>(s.begin(), s.end()));
}

}  // namespace halvane::testing

#endif
