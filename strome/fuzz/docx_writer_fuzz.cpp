// Fuzz entry: the input is a program of writer calls (paragraphs, runs of any UTF-16 text,
// fonts, sizes, colours, breaks, page breaks, pictures of any bytes and size, sections, tables,
// headers and footers, fields, footnotes), their records filled with any values and any record
// size. Whatever the sequence, Save either refuses cleanly or gives a package whose parts all
// read back and whose XML parts are well formed.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "package_reader.h"
#include "strome.h"
#include "writer_calls.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) { }
    bool Empty() const { return p_ >= end_; }
    uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
    int32_t Int()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | Byte();
        return (int32_t)v;
    }
    // A small value most of the time, any 32-bit value sometimes.
    int32_t Size()
    {
        const uint8_t kind = Byte();
        return kind < 200 ? kind * 20 : Int();
    }
    // A record of the contract filled with input bytes; its size field says sizeof most of the
    // time, something else sometimes (the writer reads no more than it knows either way).
    template <typename Record> Record Fill()
    {
        Record record;
        const std::string bytes = Bytes(sizeof record);
        std::memset(&record, 0, sizeof record);
        std::memcpy(&record, bytes.data(), bytes.size());
        const uint8_t size = Byte();
        record.cbSize = size < 200 ? (uint32_t)sizeof record : size < 230 ? size % 16 : (uint32_t)Int();
        return record;
    }
    std::string Bytes(size_t n)
    {
        const size_t have = (size_t)(end_ - p_) < n ? (size_t)(end_ - p_) : n;
        std::string out(reinterpret_cast<const char*>(p_), have);
        p_ += have;
        return out;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

// A 1x1 grey PNG and a 1x1 JPEG, so pictures the writer accepts turn up as often as broken ones.
const unsigned char kPng[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
                              0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
                              0x00, 0x3A, 0x7E, 0x9B, 0x55, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78,
                              0x9C, 0x63, 0x60, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x48, 0xAF, 0xA4, 0x71, 0x00,
                              0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
const unsigned char kJpegStart[] = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00,
                                    0x01, 0x00, 0x01, 0x01, 0x01, 0x11, 0x00};

stRunFormat RunFormat(Input& in)
{
    stRunFormat format = in.Fill<stRunFormat>();
    format.szFont[sizeof format.szFont - 1] = 0;
    format.szEastAsiaFont[sizeof format.szEastAsiaFont - 1] = 0;
    return format;
}

std::vector<qrn_wchar> Text(Input& in)
{
    const std::string raw = in.Bytes(2 * (in.Byte() % 64));
    std::vector<qrn_wchar> text(raw.size() / 2 + 1, 0);
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
        text[i / 2] = (qrn_wchar)((uint8_t)raw[i] | (uint8_t)raw[i + 1] << 8);
    return text;
}

void CheckSavedPackage(const std::string& path)
{
    const Package package = ReadPackageFile(path);
    if (!package.ok || !package.Has("word/document.xml") || !package.Has("[Content_Types].xml")) {
        std::fprintf(stderr, "saved package unreadable: %s\n", package.error.c_str());
        __builtin_trap();
    }
    for (const std::string& name : package.names) {
        const bool xml = name.size() > 4 && (name.compare(name.size() - 4, 4, ".xml") == 0 ||
                                             name.compare(name.size() - 5, 5, ".rels") == 0);
        if (!xml)
            continue;
        const std::string problem = XmlProblem(package.Part(name));
        if (!problem.empty()) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), problem.c_str());
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool initialised = Docx_Init() != 0 || true;
    (void)initialised;
    if (size > (256u << 10))
        return 0;
    const std::string path = "/tmp/morvane-docx-fuzz-" + std::to_string(getpid()) + ".docx";
    qrn_IDocx* doc = CreateDocument(path);
    if (!doc)
        return 0;
    Input in(data, size);
    qrn_IDocxPara* para = nullptr;
    for (int step = 0; step < 2000 && !in.Empty(); ++step) {
        switch (in.Byte() % 24) {
        case 0: {  // a paragraph (the previous one is complete)
            if (para)
                para->Release();
            stParaIndent indent = {in.Size(), in.Size(), in.Int()};
            stParaSpacing spacing = {};
            spacing.nBefore = in.Size();
            const uint8_t how = in.Byte();
            const char* alignments[] = {nullptr, "left", "center", "", "justify"};
            para = doc->AddParagraph(how & 1 ? &indent : nullptr, how & 2 ? &spacing : nullptr, alignments[how % 5]);
            break;
        }
        case 1: {  // a run of text
            if (!para)
                break;
            const std::string raw = in.Bytes(2 * (in.Byte() % 64));
            std::vector<qrn_wchar> text(raw.size() / 2 + 1, 0);
            for (size_t i = 0; i + 1 < raw.size(); i += 2)
                text[i / 2] = (qrn_wchar)((uint8_t)raw[i] | (uint8_t)raw[i + 1] << 8);
            stRunProps props = {};
            const std::string font = in.Bytes(in.Byte() % 40);
            std::memcpy(props.szFontName, font.data(), font.size());
            props.nSize = in.Size();
            props.nColor = in.Int();
            para->AddText(text.data(), (int)(raw.size() / 2), in.Byte() & 1 ? &props : nullptr);
            break;
        }
        case 2:
            if (para)
                para->AddBreak();
            break;
        case 3:
            if (para) {
                stParaIndent indent = {in.Int(), in.Int(), 0};
                stParaSpacing spacing = {};
                spacing.nBefore = in.Int();
                para->SetIndent(&indent);
                para->SetSpacing(&spacing);
            }
            break;
        case 4:
            doc->AddPageBreak();
            break;
        case 5: {  // a picture: the valid PNG, a JPEG head with any tail, or any bytes
            const uint8_t kind = in.Byte() % 3;
            std::string bytes;
            if (kind == 0)
                bytes.assign(reinterpret_cast<const char*>(kPng), sizeof kPng);
            else if (kind == 1)
                bytes = std::string(reinterpret_cast<const char*>(kJpegStart), sizeof kJpegStart) + in.Bytes(in.Byte());
            else
                bytes = in.Bytes(in.Byte());
            const int width = in.Size(), height = in.Size();
            qrn_IDocxPic* picture = doc->AddPicture(bytes.data(), (int)bytes.size(), width, height);
            if (!picture)
                break;
            DOCX_OBJECT object = picture->CreateObject(0, 0);
            if (object && para)
                para->AddObject(object);
            if (object)
                picture->FreeObject(object);
            picture->Release();
            break;
        }
        case 6:
            if (para) {
                para->Release();
                para = nullptr;
            }
            break;
        case 7:
            if (para)
                para->AddRef(), para->Release();
            break;
        case 8:
            doc->GetParagraphCount();
            break;
        // The later operations: every one takes its record from the input.
        case 9: {
            const stSectionProps props = in.Fill<stSectionProps>();
            doc->BeginSection(in.Byte() & 1 ? &props : nullptr);
            break;
        }
        case 10: {
            if (para)
                para->Release();
            const stParagraphProps props = in.Fill<stParagraphProps>();
            para = doc->AddParagraphEx(in.Byte() & 7 ? &props : nullptr);
            break;
        }
        case 11:
            if (para) {
                const std::vector<qrn_wchar> text = Text(in);
                const stRunFormat format = RunFormat(in);
                para->AddTextEx(text.data(), (int)text.size() - 1, in.Byte() & 7 ? &format : nullptr);
            }
            break;
        case 12: {
            const stTableProps props = in.Fill<stTableProps>();
            int32_t widths[70];
            const int columns = in.Byte() % 70;
            for (int i = 0; i < columns; ++i)
                widths[i] = in.Size();
            doc->BeginTable(&props, widths, columns);
            break;
        }
        case 13: {
            const stRowProps props = in.Fill<stRowProps>();
            doc->BeginRow(&props);
            break;
        }
        case 14: {
            const stCellProps props = in.Fill<stCellProps>();
            doc->BeginCell(in.Byte() & 7 ? &props : nullptr);
            break;
        }
        case 15:
            doc->EndCell();
            break;
        case 16:
            doc->EndRow();
            break;
        case 17:
            doc->EndTable();
            break;
        case 18: {
            const uint8_t kind = in.Byte();
            if (kind & 0x80)
                doc->EndHeaderFooter();
            else
                doc->BeginHeaderFooter(kind % 6);
            break;
        }
        case 19:
            if (para) {
                const std::vector<qrn_wchar> shown = Text(in);
                const stRunFormat format = RunFormat(in);
                para->AddField(in.Byte() % 4, shown.data(), (int)shown.size() - 1, &format);
            }
            break;
        case 20:
            if (para) {
                const stRunFormat format = RunFormat(in);
                const int id = para->AddFootnoteReference(in.Byte() & 1 ? &format : nullptr);
                if (in.Byte() & 1)
                    doc->BeginFootnote(in.Byte() & 1 ? id : in.Int());
            }
            break;
        case 21:
            doc->EndFootnote();
            break;
        case 22: {  // an anchored or cropped picture
            qrn_IDocxPic* picture = doc->AddPicture(kPng, sizeof kPng, in.Size(), in.Size());
            if (!picture)
                break;
            DOCX_OBJECT object = picture->CreateObject(0, 0);
            const stPictureProps props = in.Fill<stPictureProps>();
            if (object && para)
                para->AddObjectEx(object, &props);
            if (object)
                picture->FreeObject(object);
            picture->Release();
            break;
        }
        case 23:
            if (para) {
                const stRunFormat format = RunFormat(in);
                if (in.Byte() & 1)
                    para->AddColumnBreak();
                else
                    para->SetMarkFormat(&format);
            }
            break;
        }
    }
    if (para)
        para->Release();
    const int saved = doc->Save();
    Docx_Delete(doc);
    if (saved)
        CheckSavedPackage(path);
    std::remove(path.c_str());
    return 0;
}
