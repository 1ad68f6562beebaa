// The writer's contract (common/strome.h) over the document model of the core: the objects
// behind qrn_IDocx, qrn_IDocxPara and qrn_IDocxPic translate the callers' records and units
// into the model's formats. No exception leaves these objects.
#ifndef MORVANE_STROME_FACE_DOCX_OBJECTS_H
#define MORVANE_STROME_FACE_DOCX_OBJECTS_H

#include <memory>
#include <set>
#include <string>

#include "strome.h"
#include "../core/document.h"

namespace strome {

class DocxParagraph;
class DocxPicture;

// What CreateObject hands out: a placement of a picture at a size, valid until FreeObject.
struct PictureObject {
    int picture;  // index in the document's pictures, -1 for bytes that are no picture
    int width;  // points
    int height;
};

class DocxDocument final : public qrn_IDocx {
public:
    explicit DocxDocument(std::unique_ptr<Document> document);
    ~DocxDocument();

    int GetParagraphCount() override;
    int Save() override;
    qrn_IDocxPara* AddParagraph(const stParaIndent* indent, const stParaSpacing* spacing,
                                const char* alignment) override;
    int AddPageBreak() override;
    qrn_IDocxPic* AddPicture(const void* data, int size, int width, int height) override;
    int BeginSection(const stSectionProps* props) override;
    qrn_IDocxPara* AddParagraphEx(const stParagraphProps* props) override;
    int BeginTable(const stTableProps* props, const int32_t* columnWidths, int columnCount) override;
    int BeginRow(const stRowProps* props) override;
    int BeginCell(const stCellProps* props) override;
    int EndCell() override;
    int EndRow() override;
    int EndTable() override;
    int BeginHeaderFooter(int kind) override;
    int EndHeaderFooter() override;
    int BeginFootnote(int id) override;
    int EndFootnote() override;

    // Book-keeping of the objects this document handed out.
    Document& model() { return *document_; }
    const RunFormat& RunFormatFor(const stRunProps& props);
    PictureObject* MakeObject(int picture, int width, int height);
    bool IsObject(DOCX_OBJECT object) const { return objects_.count(static_cast<PictureObject*>(object)) != 0; }
    bool FreeObject(DOCX_OBJECT object);
    void Forget(DocxParagraph* paragraph) { paragraphs_.erase(paragraph); }
    void Forget(DocxPicture* picture) { pictures_.erase(picture); }

private:
    qrn_IDocxPara* NewParagraph(const ParagraphFormat& format);

    std::unique_ptr<Document> document_;
    std::set<DocxParagraph*> paragraphs_;
    std::set<DocxPicture*> pictures_;
    std::set<PictureObject*> objects_;
    std::string lastFontName_;  // the font name mapping is cached: runs mostly repeat it
    RunFormat lastFormat_;
    bool haveLastFormat_ = false;
};

class DocxParagraph final : public qrn_IDocxPara {
public:
    DocxParagraph(DocxDocument& document, int id) : document_(document), id_(id) { }

    int Release() override;
    int AddRef() override;
    int SetIndent(const stParaIndent* indent) override;
    int SetSpacing(const stParaSpacing* spacing) override;
    int AddText(const qrn_wchar* text, int length, const stRunProps* props) override;
    int AddBreak() override;
    int AddObject(DOCX_OBJECT object) override;
    int AddTextEx(const qrn_wchar* text, int length, const stRunFormat* format) override;
    int AddField(int kind, const qrn_wchar* shown, int length, const stRunFormat* format) override;
    int AddObjectEx(DOCX_OBJECT object, const stPictureProps* props) override;
    int AddFootnoteReference(const stRunFormat* format) override;
    int AddColumnBreak() override;
    int SetMarkFormat(const stRunFormat* format) override;

private:
    DocxDocument& document_;
    int id_;
    int references_ = 1;
    ParagraphFormat format_;
    friend class DocxDocument;
};

class DocxPicture final : public qrn_IDocxPic {
public:
    DocxPicture(DocxDocument& document, int picture, int width, int height)
        : document_(document), picture_(picture), width_(width), height_(height)
    { }

    int Release() override;
    DOCX_OBJECT CreateObject(int reserved1, int reserved2) override;
    int FreeObject(DOCX_OBJECT object) override;

private:
    DocxDocument& document_;
    int picture_;
    int width_;
    int height_;
};

// Units of the contract's records in the model's units (see units.h).
ParagraphFormat ParagraphFormatFrom(const stParaIndent* indent, const stParaSpacing* spacing, const char* alignment);

}  // namespace strome

#endif
