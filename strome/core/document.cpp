#include "document.h"

#include <algorithm>

#include "content_types.h"
#include "ooxml_names.h"
#include "package_parts.h"
#include "platform_files.h"
#include "section_xml.h"
#include "../units.h"
#include "zip_writer.h"

namespace strome {

namespace {

// Sizes beyond this are cut before they are turned into EMU, which would overflow; they are
// scaled down to the page anyway.
constexpr int64_t kMaxInputLength = int64_t(1) << 40;

// Shrinks cx x cy (EMU) to fit in maxX x maxY, keeping the proportions; never enlarges.
void ScaleDownToFit(int64_t& cx, int64_t& cy, int64_t maxX, int64_t maxY)
{
    if (cx <= 0 || cy <= 0 || (cx <= maxX && cy <= maxY))
        return;
    const double scale = std::min(double(maxX) / double(cx), double(maxY) / double(cy));
    cx = std::max<int64_t>(1, std::min(maxX, int64_t(double(cx) * scale)));
    cy = std::max<int64_t>(1, std::min(maxY, int64_t(double(cy) * scale)));
}

bool IsFooter(HeaderFooterKind kind)
{
    return kind == HeaderFooterKind::kFooterDefault || kind == HeaderFooterKind::kFooterFirst;
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
    : targetPath_(std::move(targetPath)), body_(section_.ColumnWidthTwips(), &fonts_), created_(time(nullptr))
{
    flows_.push_back(Flow{&body_.story(), 0});
    documentRels_.Add(reltype::kStyles, "styles.xml");
    documentRels_.Add(reltype::kSettings, "settings.xml");
}

// ---- sections

bool Document::BeginSection(const SectionFormat& section)
{
    if (finished_ || !InBody() || body_.story().TableDepth() > 0 || !section.Usable())
        return false;
    Story& body = body_.story();
    ParagraphEnds();
    if (body.Empty() && !body.InParagraph()) {
        // The first section: its headers and footers, if given already, stay.
        SectionFormat first = section;
        for (int i = 0; i < kHeaderFooterKinds; ++i)
            first.headerFooterRelIds[i] = section_.headerFooterRelIds[i];
        section_ = first;
    } else {
        body.EndSection(SectionPropertiesXml(section_));
        section_ = section;
        for (std::string& id : section_.headerFooterRelIds)
            id.clear();  // a section without its own shows the previous section's
        // The new section starts a page itself: a page break asked for just before is the same one.
        if (section_.start != SectionStart::kContinuous)
            body.DropPendingPageBreak();
    }
    body.SetLineWidth(section_.ColumnWidthTwips());
    laterOperations_ = true;
    return true;
}

// ---- paragraphs

int Document::BeginParagraph(const ParagraphFormat& format)
{
    if (finished_ || !Top().BeginParagraph(format))
        return 0;
    flows_.back().openParagraph = ++paragraphCount_;
    laterOperations_ = laterOperations_ || !format.measuredBetweenGlyphBoxes;
    return paragraphCount_;
}

bool Document::SetParagraphFormat(int paragraph, const ParagraphFormat& format)
{
    return IsOpen(paragraph) && Top().SetParagraphFormat(format);
}

bool Document::AddText(int paragraph, const char16_t* text, size_t length, const RunFormat& format)
{
    if (!IsOpen(paragraph) || (!text && length > 0))
        return false;
    Top().AddText(text, length, format);
    return true;
}

bool Document::AddLineBreak(int paragraph)
{
    if (!IsOpen(paragraph))
        return false;
    Top().AddLineBreak();
    return true;
}

bool Document::AddColumnBreak(int paragraph)
{
    if (!IsOpen(paragraph))
        return false;
    Top().AddColumnBreak();
    return true;
}

bool Document::AddField(int paragraph, FieldKind kind, const std::u16string& shown, const RunFormat& format)
{
    if (!IsOpen(paragraph))
        return false;
    Top().AddField(kind, shown, format);
    return true;
}

int Document::AddFootnoteReference(int paragraph, const RunFormat& format)
{
    if (!IsOpen(paragraph) || !InBody())
        return 0;
    const int footnote = footnotes_.AddReference();
    if (footnote == 0)
        return 0;
    Top().AddFootnoteReference(FootnotesPart::XmlId(footnote), format);
    return footnote;
}

bool Document::SetMarkFormat(int paragraph, const RunFormat& format)
{
    if (!IsOpen(paragraph))
        return false;
    Top().SetMarkFormat(format);
    return true;
}

std::string Document::PictureRelationship(int picture)
{
    MediaStore::Item* item = media_.Find(picture);
    if (!item)
        return std::string();
    item->placed = true;
    const std::string target = "media/image" + std::to_string(picture + 1) + "." + ImageExtension(item->kind);
    if (headersFooters_.open())
        return headersFooters_.PictureRelationship(picture, target);
    if (item->relId.empty())
        item->relId = documentRels_.Add(reltype::kImage, target);
    return item->relId;
}

bool Document::AddPicture(int paragraph, int picture, int64_t widthPoints, int64_t heightPoints)
{
    if (!IsOpen(paragraph) || footnotes_.open() || !media_.Find(picture) || widthPoints <= 0 || heightPoints <= 0)
        return false;
    PictureDrawing d;
    d.relId = PictureRelationship(picture);
    // A picture larger than the text area would overflow the page (Word and LibreOffice push
    // it to a page of its own, or crop it); the layout hands over at most the PDF page's size.
    int64_t cx = EmuFromPoints(std::min(widthPoints, kMaxInputLength)),
            cy = EmuFromPoints(std::min(heightPoints, kMaxInputLength));
    const PageLayout& page = section_.page;
    ScaleDownToFit(cx, cy, EmuFromTwips(page.textWidthTwips()), EmuFromTwips(page.textHeightTwips()));
    d.widthEmu = std::min(std::max<int64_t>(cx, 1), kMaxPictureEmu);
    d.heightEmu = std::min(std::max<int64_t>(cy, 1), kMaxPictureEmu);
    d.id = nextDrawingId_++;
    Top().AddPicture(d);
    return true;
}

bool Document::AddPlacedPicture(int paragraph, int picture, int64_t widthTwips, int64_t heightTwips,
                                const PicturePlacement& placement)
{
    if (!IsOpen(paragraph) || footnotes_.open() || !media_.Find(picture) || widthTwips <= 0 || heightTwips <= 0)
        return false;
    for (int32_t c : placement.crop)
        if (c < 0 || c >= kWholeCrop)
            return false;
    if (placement.crop[0] + placement.crop[2] >= kWholeCrop || placement.crop[1] + placement.crop[3] >= kWholeCrop)
        return false;  // nothing of the picture left
    PictureDrawing d;
    d.relId = PictureRelationship(picture);
    int64_t cx = EmuFromTwips(std::min(widthTwips, kMaxInputLength)),
            cy = EmuFromTwips(std::min(heightTwips, kMaxInputLength));
    // Inline, a picture fits the column; anchored, the page.
    const PageLayout& page = section_.page;
    if (placement.anchored)
        ScaleDownToFit(cx, cy, EmuFromTwips(page.widthTwips), EmuFromTwips(page.heightTwips));
    else
        ScaleDownToFit(cx, cy, EmuFromTwips(std::max<int64_t>(1, section_.ColumnWidthTwips())),
                       EmuFromTwips(std::max<int64_t>(1, page.textHeightTwips())));
    d.widthEmu = std::min(std::max<int64_t>(cx, 1), kMaxPictureEmu);
    d.heightEmu = std::min(std::max<int64_t>(cy, 1), kMaxPictureEmu);
    d.id = nextDrawingId_++;
    d.placement = placement;
    Top().AddPicture(d);
    return true;
}

void Document::EndParagraph(int paragraph)
{
    if (!IsOpen(paragraph))
        return;
    Top().EndParagraph();
    ParagraphEnds();
}

bool Document::AddPageBreak()
{
    if (finished_ || !InBody() || body_.story().TableDepth() > 0)
        return false;
    Top().EndParagraph();
    ParagraphEnds();
    Top().AddPageBreak();
    return true;
}

// ---- tables

bool Document::BeginTable(const TableFormat& format, const std::vector<int64_t>& grid)
{
    if (finished_ || !Top().BeginTable(format, grid))
        return false;
    ParagraphEnds();
    laterOperations_ = true;
    return true;
}

bool Document::BeginRow(const RowFormat& format)
{
    if (finished_ || !Top().BeginRow(format))
        return false;
    ParagraphEnds();
    return true;
}

bool Document::BeginCell(const CellFormat& format)
{
    if (finished_ || !Top().BeginCell(format))
        return false;
    ParagraphEnds();
    return true;
}

bool Document::EndCell()
{
    if (finished_ || !Top().EndCell())
        return false;
    ParagraphEnds();
    return true;
}

bool Document::EndRow()
{
    if (finished_ || !Top().EndRow())
        return false;
    ParagraphEnds();
    return true;
}

bool Document::EndTable()
{
    if (finished_ || !Top().EndTable())
        return false;
    ParagraphEnds();
    return true;
}

// ---- headers, footers, footnotes

bool Document::BeginHeaderFooter(HeaderFooterKind kind)
{
    if (finished_ || !InBody())
        return false;
    const bool footer = IsFooter(kind);
    Story* story = headersFooters_.Begin(footer, section_.page.textWidthTwips(), &fonts_);
    if (!story)
        return false;
    const char* type = footer ? reltype::kFooter : reltype::kHeader;
    section_.headerFooterRelIds[int(kind)] = documentRels_.Add(type, headersFooters_.openName());
    flows_.push_back(Flow{story, 0});
    laterOperations_ = true;
    return true;
}

bool Document::EndHeaderFooter()
{
    if (finished_ || flows_.size() < 2 || !headersFooters_.open())
        return false;
    flows_.pop_back();
    headersFooters_.End();
    return true;
}

bool Document::BeginFootnote(int footnote)
{
    if (finished_ || !InBody())
        return false;
    Story* story = footnotes_.Begin(footnote, section_.page.textWidthTwips(), &fonts_);
    if (!story)
        return false;
    story->NumberFirstParagraph();
    flows_.push_back(Flow{story, 0});
    return true;
}

bool Document::EndFootnote()
{
    if (finished_ || flows_.size() < 2 || !footnotes_.open())
        return false;
    flows_.pop_back();
    footnotes_.End();
    return true;
}

int Document::AddPictureData(const void* data, size_t size)
{
    return finished_ ? -1 : media_.Add(data, size);
}

// ---- the package

bool Document::WritePackage(ByteSink& out)
{
    ContentTypes types;
    types.AddDefault("rels", ctype::kRelationships);
    types.AddDefault("xml", ctype::kXml);
    types.AddOverride("/word/document.xml", ctype::kDocument);
    types.AddOverride("/word/styles.xml", ctype::kStyles);
    types.AddOverride("/word/settings.xml", ctype::kSettings);
    if (laterOperations_)
        types.AddOverride("/word/fontTable.xml", ctype::kFontTable);
    if (footnotes_.used())
        types.AddOverride("/word/footnotes.xml", ctype::kFootnotes);
    for (const HeaderFooterParts::Part& part : headersFooters_.parts())
        types.AddOverride("/word/" + part.name, part.footer ? ctype::kFooter : ctype::kHeader);
    types.AddOverride("/docProps/core.xml", ctype::kCoreProps);
    types.AddOverride("/docProps/app.xml", ctype::kExtendedProps);
    for (const MediaStore::Item& item : media_.items())
        if (item.placed)
            types.AddDefault(ImageExtension(item.kind), ImageContentType(item.kind));

    Relationships packageRels;
    packageRels.Add(reltype::kOfficeDocument, "word/document.xml");
    packageRels.Add(reltype::kCoreProps, "docProps/core.xml");
    packageRels.Add(reltype::kExtendedProps, "docProps/app.xml");

    ZipWriter zip(out, sizeLimit_);
    const Deflater& body = body_.deflater();
    bool ok = zip.AddDeflated("[Content_Types].xml", types.Xml()) &&
              zip.AddDeflated("_rels/.rels", packageRels.Xml()) &&
              zip.AddDeflated("docProps/core.xml", CorePropertiesXml(created_)) &&
              zip.AddDeflated("docProps/app.xml", AppPropertiesXml()) &&
              zip.AddFromSpool("word/document.xml", ZipMethod::kDeflated, body.crc(), body.rawSize(), body_.spool(), 0,
                               body.compressedSize()) &&
              zip.AddDeflated("word/styles.xml", StylesXml()) &&
              zip.AddDeflated("word/settings.xml", SettingsXml(footnotes_.used())) &&
              (!laterOperations_ || zip.AddDeflated("word/fontTable.xml", fonts_.Xml()));
    if (ok && footnotes_.used()) {
        const Deflater& notes = *footnotes_.deflater();
        ok = zip.AddFromSpool("word/footnotes.xml", ZipMethod::kDeflated, notes.crc(), notes.rawSize(),
                              *footnotes_.spool(), 0, notes.compressedSize());
    }
    for (const HeaderFooterParts::Part& part : headersFooters_.parts()) {
        if (!ok)
            break;
        ok = zip.AddFromSpool("word/" + part.name, ZipMethod::kDeflated, part.crc, part.rawSize,
                              *headersFooters_.spool(), part.offset, part.compressedSize) &&
             (part.relsXml.empty() || zip.AddDeflated("word/_rels/" + part.name + ".rels", part.relsXml));
    }
    ok = ok && zip.AddDeflated("word/_rels/document.xml.rels", documentRels_.Xml());
    for (size_t i = 0; ok && i < media_.items().size(); ++i) {
        const MediaStore::Item& item = media_.items()[i];
        if (!item.placed)
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
        // Flows left open end here, the innermost first.
        while (flows_.size() > 1) {
            flows_.pop_back();
            if (headersFooters_.open())
                headersFooters_.End();
            if (footnotes_.open())
                footnotes_.End();
        }
        finished_ = true;
        flows_.back().openParagraph = 0;
        body_.Finish(section_);
        footnotes_.Finish();
        if (laterOperations_)
            documentRels_.Add(reltype::kFontTable, "fontTable.xml");
        if (footnotes_.used())
            documentRels_.Add(reltype::kFootnotes, "footnotes.xml");
    }
    if (!body_.ok() || !footnotes_.ok() || headersFooters_.failed())
        return false;
    std::unique_ptr<AtomicOutputFile> file = AtomicOutputFile::Create(targetPath_);
    if (!file)
        return false;
    if (!WritePackage(*file))
        return false;  // the destructor removes the temporary file
    return file->Commit();
}

}  // namespace strome
