// Fuzz entry: one image XObject decoded and encoded for the page model (PNG or passed-on JPEG).
// The first 8 bytes choose its dictionary (colour space, bits per component, size, filter and
// parameters); the rest is the stream's data.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "halvane/document/document_file.h"
#include "halvane/images/image_encoder.h"

namespace {

std::string ImageDictionary(const uint8_t* p)
{
    const char* spaces[] = {"/DeviceGray",
                            "/DeviceRGB",
                            "/DeviceCMYK",
                            "[/Indexed /DeviceRGB 3 <FF0000 00FF00 0000FF 000000>]",
                            "/DeviceGray /ImageMask true",
                            "[/ICCBased 5 0 R]",
                            "[/Separation /All /DeviceGray 6 0 R]",
                            "[/Indexed /DeviceGray 255 7 0 R]"};
    const int bits[] = {1, 2, 4, 8, 16};
    const char* filters[] = {"",
                             "/Filter /FlateDecode",
                             "/Filter /RunLengthDecode",
                             "/Filter /ASCIIHexDecode",
                             "/Filter /CCITTFaxDecode",
                             "/Filter /JBIG2Decode",
                             "/Filter /DCTDecode",
                             "/Filter /LZWDecode",
                             "/Filter [/ASCII85Decode /FlateDecode]"};
    const int width = 1 + ((p[2] << 8 | p[3]) % 2048);
    const int height = 1 + ((p[4] << 8 | p[5]) % 2048);
    std::string dict = "<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
                       std::to_string(height) + " /ColorSpace " + spaces[p[0] % 8] + " /BitsPerComponent " +
                       std::to_string(bits[p[1] % 5]) + " " + filters[p[6] % 9];
    switch (p[7] % 6) {
    case 1:
        dict += " /DecodeParms << /Predictor 15 /Colors 3 /Columns " + std::to_string(width) + " >>";
        break;
    case 2:
        dict += " /DecodeParms << /K -1 /Columns " + std::to_string(width) + " /BlackIs1 true >>";
        break;
    case 3:
        dict += " /Decode [1 0 1 0 1 0 1 0]";
        break;
    case 4:
        dict += " /SMask 8 0 R";
        break;
    case 5:
        dict += " /DecodeParms << /K 1 /EndOfLine true /Rows " + std::to_string(height) + " >>";
        break;
    }
    return dict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8 || size > (1u << 20))
        return 0;
    const std::string image(reinterpret_cast<const char*>(data + 8), size - 8);
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>",
        ImageDictionary(data) + " /Length " + std::to_string(image.size()) + " >>\nstream\n" + image + "\nendstream",
        "<< /N 3 /Length 0 >>\nstream\n\nendstream",
        "<< /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>",
        "<< /Length 256 >>\nstream\n" + std::string(256, '\x80') + "\nendstream",
        "<< /Type /XObject /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceGray /BitsPerComponent 8 /Length 16 "
        ">>\nstream\n" +
            std::string(16, '\x7f') + "\nendstream",
    };
    std::string pdf = "%PDF-1.7\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < sizeof objects / sizeof objects[0]; ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";

    halvane::OpenStatus status;
    auto doc = halvane::Document::Open(halvane::ByteSource(std::vector<uint8_t>(pdf.begin(), pdf.end())), &status);
    if (!doc)
        return 0;
    halvane::ImageEvent event;
    event.xobject = &doc->GetObject(4);
    std::string out;
    halvane::EncodeImage(*doc, event, &out);
    return 0;
}
