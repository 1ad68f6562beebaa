#include "document.h"

#include <algorithm>

#include "content_types.h"
#include "ooxml_names.h"
#include "package_parts.h"
#include "platform_files.h"
#include "../units.h"
#include "zip_writer.h"

namespace strome {

namespace {

// Shrinks cx x cy (EMU) to fit in maxX x maxY, keeping the proportions; never enlarges.
void ScaleDownToFit(int64_t& cx, int64_t& cy, int64_t maxX, int64_t maxY)
{
    if (cx <= 0 || cy <= 0 || (cx <= maxX && cy <= maxY))
        return;
    const double scale = std::min(double(maxX) / double(cx), double(maxY) / double(cy));
    cx = std::max<int64_t>(1, std::min(maxX, int64_t(double(cx) * scale)));
    cy = std::max<int64_t>(1, std::min(maxY, int64_t(double(cy) * scale)));
}

}  // namespace

std::unique_ptr<Document> Document::Create(const std::u16string& targetPath)
{
    if (targetPath.empty())
        return nullptr;
    // A folder that cannot take the file fails now, not after a whole conversion: the probe
    // makes the temporary file Save would write, and removes it again.
    if (!AtomicOutputFile::Create(targetPath))
        return nullptr;
    std::unique_ptr<Document> doc(new Document(targetPath));
    if (!doc->body_.ok())
        return nullptr;
    return doc;
}

Document::Document(std::u16string targetPath)
    : targetPath_(std::move(targetPath)), body_(page_), created_(time(nullptr))
{
    documentRels_.Add(reltype::kStyles, "styles.xml");
    documentRels_.Add(reltype::kSettings, "settings.xml");
}

int Document::BeginParagraph(const ParagraphFormat& format)
{
    if (finished_)
        return 0;
    body_.BeginParagraph(format);
    openParagraph_ = ++paragraphCount_;
    return openParagraph_;
}

bool Document::SetParagraphFormat(int paragraph, const ParagraphFormat& format)
{
    return IsOpen(paragraph) && body_.SetParagraphFormat(format);
}

bool Document::AddText(int paragraph, const char16_t* text, size_t length, const RunFormat& format)
{
    if (!IsOpen(paragraph) || (!text && length > 0))
        return false;
    body_.AddText(text, length, format);
    return true;
}

bool Document::AddLineBreak(int paragraph)
{
    if (!IsOpen(paragraph))
        return false;
    body_.AddLineBreak();
    return true;
}

bool Document::AddPicture(int paragraph, int picture, int64_t widthPoints, int64_t heightPoints)
{
    MediaStore::Item* item = media_.Find(picture);
    if (!IsOpen(paragraph) || !item || widthPoints <= 0 || heightPoints <= 0)
        return false;
    if (item->relId.empty()) {
        std::string target = "media/image" + std::to_string(picture + 1) + "." + ImageExtension(item->kind);
        item->relId = documentRels_.Add(reltype::kImage, target);
    }
    // A picture larger than the text area would overflow the page (Word and LibreOffice push
    // it to a page of its own, or crop it); the layout hands over at most the PDF page's size.
    int64_t cx = EmuFromPoints(widthPoints), cy = EmuFromPoints(heightPoints);
    ScaleDownToFit(cx, cy, EmuFromTwips(page_.textWidthTwips()), EmuFromTwips(page_.textHeightTwips()));
    body_.AddPicture(item->relId, cx, cy);
    return true;
}

void Document::EndParagraph(int paragraph)
{
    if (!IsOpen(paragraph))
        return;
    body_.EndParagraph();
    openParagraph_ = 0;
}

void Document::AddPageBreak()
{
    if (finished_)
        return;
    body_.EndParagraph();
    openParagraph_ = 0;
    body_.AddPageBreak();
}

int Document::AddPictureData(const void* data, size_t size)
{
    return finished_ ? -1 : media_.Add(data, size);
}

bool Document::WritePackage(ByteSink& out)
{
    ContentTypes types;
    types.AddDefault("rels", ctype::kRelationships);
    types.AddDefault("xml", ctype::kXml);
    types.AddOverride("/word/document.xml", ctype::kDocument);
    types.AddOverride("/word/styles.xml", ctype::kStyles);
    types.AddOverride("/word/settings.xml", ctype::kSettings);
    types.AddOverride("/docProps/core.xml", ctype::kCoreProps);
    types.AddOverride("/docProps/app.xml", ctype::kExtendedProps);
    for (const MediaStore::Item& item : media_.items())
        if (!item.relId.empty())
            types.AddDefault(ImageExtension(item.kind), ImageContentType(item.kind));

    Relationships packageRels;
    packageRels.Add(reltype::kOfficeDocument, "word/document.xml");
    packageRels.Add(reltype::kCoreProps, "docProps/core.xml");
    packageRels.Add(reltype::kExtendedProps, "docProps/app.xml");

    ZipWriter zip(out, sizeLimit_);
    const Deflater& body = body_.deflater();
    bool ok = zip.AddDeflated("[Content_Types].xml", types.Xml()) && zip.AddDeflated("_rels/.rels", packageRels.Xml()) &&
              zip.AddDeflated("docProps/core.xml", CorePropertiesXml(created_)) &&
              zip.AddDeflated("docProps/app.xml", AppPropertiesXml()) &&
              zip.AddFromSpool("word/document.xml", ZipMethod::kDeflated, body.crc(), body.rawSize(), body_.spool(), 0,
                               body.compressedSize()) &&
              zip.AddDeflated("word/styles.xml", StylesXml()) && zip.AddDeflated("word/settings.xml", SettingsXml()) &&
              zip.AddDeflated("word/_rels/document.xml.rels", documentRels_.Xml());
    for (size_t i = 0; ok && i < media_.items().size(); ++i) {
        const MediaStore::Item& item = media_.items()[i];
        if (item.relId.empty())
            continue;  // never placed: not part of the document
        // PNG and JPEG are compressed already: stored as they are.
        std::string name = "word/media/image" + std::to_string(i + 1) + "." + ImageExtension(item.kind);
        ok = zip.AddFromSpool(name, ZipMethod::kStored, item.crc, item.size, *media_.spool(), item.offset, item.size);
    }
    return ok && zip.Finish();
}

bool Document::Save()
{
    if (!finished_) {
        finished_ = true;
        openParagraph_ = 0;
        body_.Finish();
    }
    if (!body_.ok())
        return false;
    std::unique_ptr<AtomicOutputFile> file = AtomicOutputFile::Create(targetPath_);
    if (!file)
        return false;
    if (!WritePackage(*file))
        return false;  // the destructor removes the temporary file
    return file->Commit();
}

}  // namespace strome
