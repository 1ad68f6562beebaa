#include "docx_objects.h"

#include <string.h>

#include <cctype>
#include <new>

#include "docx_records.h"
#include "../units.h"

namespace strome {

namespace {

bool EqualsNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

Alignment AlignmentFrom(const char* name)
{
    if (!name)
        return Alignment::kDefault;
    if (EqualsNoCase(name, "left") || EqualsNoCase(name, "start"))
        return Alignment::kLeft;
    if (EqualsNoCase(name, "center") || EqualsNoCase(name, "centre"))
        return Alignment::kCenter;
    if (EqualsNoCase(name, "right") || EqualsNoCase(name, "end"))
        return Alignment::kRight;
    if (EqualsNoCase(name, "both") || EqualsNoCase(name, "justify"))
        return Alignment::kJustify;
    return Alignment::kDefault;
}

void ApplyIndent(ParagraphFormat& f, const stParaIndent* indent)
{
    f.leftTwips = indent ? TwipsFromUnits(indent->nLeft, kLeftIndentUnitsPerPoint) : 0;
    f.firstLineTwips = indent ? TwipsFromUnits(indent->nFirstLine, kFirstLineUnitsPerPoint) : 0;
}

void ApplySpacing(ParagraphFormat& f, const stParaSpacing* spacing)
{
    f.spaceBeforeTwips = spacing ? TwipsFromUnits(spacing->nBefore, kSpacingUnitsPerPoint) : 0;
}

}  // namespace

ParagraphFormat ParagraphFormatFrom(const stParaIndent* indent, const stParaSpacing* spacing, const char* alignment)
{
    ParagraphFormat f;
    ApplyIndent(f, indent);
    ApplySpacing(f, spacing);
    f.alignment = AlignmentFrom(alignment);
    return f;
}

// ---- document

DocxDocument::DocxDocument(std::unique_ptr<Document> document) : document_(std::move(document))
{ }

DocxDocument::~DocxDocument()
{
    // Objects the caller did not release end with their document.
    for (DocxParagraph* p : paragraphs_)
        delete p;
    for (DocxPicture* p : pictures_)
        delete p;
    for (PictureObject* o : objects_)
        delete o;
}

int DocxDocument::GetParagraphCount()
{
    return document_->paragraphCount();
}

int DocxDocument::Save()
{
    try {
        return document_->Save() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

qrn_IDocxPara* DocxDocument::NewParagraph(const ParagraphFormat& format)
{
    std::unique_ptr<DocxParagraph> paragraph(new DocxParagraph(*this, 0));
    paragraph->id_ = document_->BeginParagraph(format);
    paragraph->format_ = format;
    if (paragraph->id_ == 0)
        return nullptr;
    paragraphs_.insert(paragraph.get());
    return paragraph.release();
}

qrn_IDocxPara* DocxDocument::AddParagraph(const stParaIndent* indent, const stParaSpacing* spacing,
                                          const char* alignment)
{
    try {
        return NewParagraph(ParagraphFormatFrom(indent, spacing, alignment));
    } catch (...) {
        return nullptr;
    }
}

qrn_IDocxPara* DocxDocument::AddParagraphEx(const stParagraphProps* props)
{
    try {
        ParagraphFormat format;
        if (!ParagraphFrom(props, format))
            return nullptr;
        return NewParagraph(format);
    } catch (...) {
        return nullptr;
    }
}

int DocxDocument::BeginSection(const stSectionProps* props)
{
    try {
        SectionFormat section;
        return SectionFrom(props, section) && document_->BeginSection(section) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::BeginTable(const stTableProps* props, const int32_t* columnWidths, int columnCount)
{
    try {
        TableFormat table;
        std::vector<int64_t> grid;
        return TableFrom(props, columnWidths, columnCount, table, grid) && document_->BeginTable(table, grid) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::BeginRow(const stRowProps* props)
{
    try {
        RowFormat row;
        return RowFrom(props, row) && document_->BeginRow(row) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::BeginCell(const stCellProps* props)
{
    try {
        CellFormat cell;
        return CellFrom(props, cell) && document_->BeginCell(cell) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::EndCell()
{
    try {
        return document_->EndCell() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::EndRow()
{
    try {
        return document_->EndRow() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::EndTable()
{
    try {
        return document_->EndTable() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::BeginHeaderFooter(int kind)
{
    try {
        if (kind < STROME_HEADER_DEFAULT || kind > STROME_FOOTER_FIRST)
            return 0;
        static const HeaderFooterKind kKinds[] = {HeaderFooterKind::kHeaderDefault, HeaderFooterKind::kHeaderFirst,
                                                  HeaderFooterKind::kFooterDefault, HeaderFooterKind::kFooterFirst};
        return document_->BeginHeaderFooter(kKinds[kind - STROME_HEADER_DEFAULT]) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::EndHeaderFooter()
{
    try {
        return document_->EndHeaderFooter() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::BeginFootnote(int id)
{
    try {
        return document_->BeginFootnote(id) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::EndFootnote()
{
    try {
        return document_->EndFootnote() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxDocument::AddPageBreak()
{
    try {
        return document_->AddPageBreak() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

qrn_IDocxPic* DocxDocument::AddPicture(const void* data, int size, int width, int height)
{
    try {
        // Bytes that are no PNG or JPEG still give a picture object; placing it writes nothing.
        int picture = data && size > 0 ? document_->AddPictureData(data, size_t(size)) : -1;
        std::unique_ptr<DocxPicture> object(new DocxPicture(*this, picture, width, height));
        pictures_.insert(object.get());
        return object.release();
    } catch (...) {
        return nullptr;
    }
}

const RunFormat& DocxDocument::RunFormatFor(const stRunProps& props)
{
    size_t nameLength = strnlen(props.szFontName, sizeof props.szFontName);
    if (!haveLastFormat_ || lastFontName_.compare(0, std::string::npos, props.szFontName, nameLength) != 0) {
        lastFontName_.assign(props.szFontName, nameLength);
        lastFormat_.font = MapPdfFontName(props.szFontName, sizeof props.szFontName);
        haveLastFormat_ = true;
    }
    lastFormat_.halfPoints = props.nSize > 0 ? props.nSize : 0;
    // 0x00BBGGRR; 0 (black) is left to the automatic colour, which is black on white.
    const uint32_t c = uint32_t(props.nColor) & 0xFFFFFF;
    lastFormat_.rgb = c == 0 ? -1 : int32_t(((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16));
    return lastFormat_;
}

PictureObject* DocxDocument::MakeObject(int picture, int width, int height)
{
    std::unique_ptr<PictureObject> object(new PictureObject{picture, width, height});
    objects_.insert(object.get());
    return object.release();
}

bool DocxDocument::FreeObject(DOCX_OBJECT object)
{
    auto it = objects_.find(static_cast<PictureObject*>(object));
    if (it == objects_.end())
        return false;
    delete *it;
    objects_.erase(it);
    return true;
}

// ---- paragraph

int DocxParagraph::Release()
{
    try {
        if (--references_ > 0)
            return references_;
        document_.model().EndParagraph(id_);
    } catch (...) {
    }
    document_.Forget(this);
    delete this;
    return 0;
}

int DocxParagraph::AddRef()
{
    return ++references_;
}

int DocxParagraph::SetIndent(const stParaIndent* indent)
{
    try {
        ParagraphFormat f = format_;
        ApplyIndent(f, indent);
        if (!document_.model().SetParagraphFormat(id_, f))
            return 0;
        format_ = f;
        return 1;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::SetSpacing(const stParaSpacing* spacing)
{
    try {
        ParagraphFormat f = format_;
        ApplySpacing(f, spacing);
        if (!document_.model().SetParagraphFormat(id_, f))
            return 0;
        format_ = f;
        return 1;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddText(const qrn_wchar* text, int length, const stRunProps* props)
{
    try {
        if (length < 0 || (!text && length > 0))
            return 0;
        static const stRunProps kDefaultProps = {};
        const RunFormat& format = document_.RunFormatFor(props ? *props : kDefaultProps);
        static_assert(sizeof(qrn_wchar) == sizeof(char16_t), "UTF-16 text");
        return document_.model().AddText(id_, reinterpret_cast<const char16_t*>(text), size_t(length), format) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddBreak()
{
    try {
        return document_.model().AddLineBreak(id_) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddObject(DOCX_OBJECT object)
{
    try {
        if (!document_.IsObject(object))
            return 0;
        const PictureObject* o = static_cast<const PictureObject*>(object);
        return document_.model().AddPicture(id_, o->picture, o->width, o->height) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddTextEx(const qrn_wchar* text, int length, const stRunFormat* props)
{
    try {
        RunFormat format;
        if (length < 0 || (!text && length > 0) || !RunFrom(props, format))
            return 0;
        return document_.model().AddText(id_, reinterpret_cast<const char16_t*>(text), size_t(length), format) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddField(int kind, const qrn_wchar* shown, int length, const stRunFormat* props)
{
    try {
        RunFormat format;
        if (kind < STROME_FIELD_PAGE || kind > STROME_FIELD_NUMPAGES || length < 0 || (!shown && length > 0) ||
            !RunFrom(props, format))
            return 0;
        std::u16string text;
        if (shown)
            text.assign(reinterpret_cast<const char16_t*>(shown), size_t(length));
        const FieldKind fieldKind = kind == STROME_FIELD_PAGE ? FieldKind::kPage : FieldKind::kNumPages;
        return document_.model().AddField(id_, fieldKind, text, format) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddObjectEx(DOCX_OBJECT object, const stPictureProps* props)
{
    try {
        if (!document_.IsObject(object))
            return 0;
        const PictureObject* o = static_cast<const PictureObject*>(object);
        PicturePlacement placement;
        int64_t width = 0, height = 0;
        if (!PictureFrom(props, o->width, o->height, placement, width, height))
            return 0;
        return document_.model().AddPlacedPicture(id_, o->picture, width, height, placement) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddFootnoteReference(const stRunFormat* props)
{
    try {
        RunFormat format;
        if (!RunFrom(props, format))
            return 0;
        return document_.model().AddFootnoteReference(id_, format);
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::AddColumnBreak()
{
    try {
        return document_.model().AddColumnBreak(id_) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DocxParagraph::SetMarkFormat(const stRunFormat* props)
{
    try {
        RunFormat format;
        return RunFrom(props, format) && document_.model().SetMarkFormat(id_, format) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

// ---- picture

int DocxPicture::Release()
{
    document_.Forget(this);
    delete this;
    return 0;
}

DOCX_OBJECT DocxPicture::CreateObject(int, int)
{
    try {
        return document_.MakeObject(picture_, width_, height_);
    } catch (...) {
        return nullptr;
    }
}

int DocxPicture::FreeObject(DOCX_OBJECT object)
{
    return document_.FreeObject(object) ? 1 : 0;
}

}  // namespace strome
