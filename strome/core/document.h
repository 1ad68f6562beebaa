// A Word document being built: sections of paragraphs (text runs, line breaks, pictures,
// fields, footnote references) and tables, headers and footers, footnotes, and Save, which
// writes the whole package to the target path at once.
//
// Content goes into the innermost open flow: the body (or the table cell open in it), a
// header or footer, a footnote. One paragraph is open at a time in each flow: starting a
// block completes it; calls with the id of a paragraph that is not the innermost flow's open
// one do nothing.
//
// Memory: the body, the footnotes and the headers and footers are compressed into scratch
// files as they grow, pictures go to another scratch file, so a document holds only the
// paragraph being built, the compressors' state (about 300 KB each) and a few dozen bytes
// per distinct picture, header or footer, whatever the document's length.
#ifndef MORVANE_STROME_CORE_DOCUMENT_H
#define MORVANE_STROME_CORE_DOCUMENT_H

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "document_body.h"
#include "font_table.h"
#include "footnotes_part.h"
#include "formats.h"
#include "header_footer_parts.h"
#include "media_store.h"
#include "relationships.h"

namespace strome {

class Document {
public:
    // Null when the target path is empty, its folder cannot take a new file, or no document
    // can be started.
    static std::unique_ptr<Document> Create(const std::u16string& targetPath);

    // ---- sections: the content that follows takes this page geometry. Before any content it
    // sets the first section's; only in the body, outside tables. False when refused.
    bool BeginSection(const SectionFormat& section);

    // Starts a paragraph in the innermost flow and returns its id (never 0); 0 when refused
    // (between a table's rows, after Save).
    int BeginParagraph(const ParagraphFormat& format);
    // Changes the format of the open paragraph before any of its content is added.
    bool SetParagraphFormat(int paragraph, const ParagraphFormat& format);
    bool AddText(int paragraph, const char16_t* text, size_t length, const RunFormat& format);
    bool AddLineBreak(int paragraph);
    bool AddColumnBreak(int paragraph);
    bool AddField(int paragraph, FieldKind kind, const std::u16string& shown, const RunFormat& format);
    // A footnote reference mark; returns the footnote's number for BeginFootnote, 0 when
    // refused (outside the body).
    int AddFootnoteReference(int paragraph, const RunFormat& format);
    bool SetMarkFormat(int paragraph, const RunFormat& format);
    // Places picture (an index from AddPictureData) at the given size in points, scaled down
    // (keeping its proportions) when it would not fit in the page's text area.
    bool AddPicture(int paragraph, int picture, int64_t widthPoints, int64_t heightPoints);
    // The same in twips, placed and cropped as placement says; an anchored picture may take
    // the whole page. Pictures stand in the body, its tables, headers and footers; not in
    // footnotes.
    bool AddPlacedPicture(int paragraph, int picture, int64_t widthTwips, int64_t heightTwips,
                          const PicturePlacement& placement);
    void EndParagraph(int paragraph);
    // The next paragraph of the body starts on a new page; false inside a table, header,
    // footer or footnote.
    bool AddPageBreak();

    // ---- tables in the innermost flow (see Story)
    bool BeginTable(const TableFormat& format, const std::vector<int64_t>& gridTwips);
    bool BeginRow(const RowFormat& format);
    bool BeginCell(const CellFormat& format);
    bool EndCell();
    bool EndRow();
    bool EndTable();

    // ---- headers, footers and footnotes: the blocks that follow, up to the End call, are
    // their content. They do not nest in each other.
    bool BeginHeaderFooter(HeaderFooterKind kind);
    bool EndHeaderFooter();
    bool BeginFootnote(int footnote);
    bool EndFootnote();

    // Keeps a copy of PNG or JPEG bytes; -1 when they are neither (the picture is left out).
    int AddPictureData(const void* data, size_t size);

    // Writes the package. After the first Save the content is fixed; Save may be repeated.
    bool Save();
    // Largest package Save may write; tests lower it.
    void SetSizeLimitForTesting(uint64_t bytes) { sizeLimit_ = bytes; }

    int paragraphCount() const { return paragraphCount_; }

private:
    struct Flow {
        Story* story;
        int openParagraph;
    };

    explicit Document(std::u16string targetPath);
    Story& Top() { return *flows_.back().story; }
    bool IsOpen(int paragraph) const
    {
        return paragraph != 0 && !finished_ && paragraph == flows_.back().openParagraph;
    }
    bool InBody() const { return flows_.size() == 1; }
    // The block about to start completes the innermost flow's open paragraph.
    void ParagraphEnds() { flows_.back().openParagraph = 0; }
    std::string PictureRelationship(int picture);
    bool WritePackage(ByteSink& out);

    std::u16string targetPath_;
    SectionFormat section_;  // of the section being built
    FontTable fonts_;
    DocumentBody body_;
    HeaderFooterParts headersFooters_;
    FootnotesPart footnotes_;
    std::vector<Flow> flows_;  // the body, then an open header, footer or footnote
    std::string openHeaderFooterRelId_;
    MediaStore media_;
    Relationships documentRels_;
    int paragraphCount_ = 0;
    int64_t nextDrawingId_ = 1;
    // A later operation was used. Documents made only of the classic calls keep their
    // package as it always was: without a fonts table.
    bool laterOperations_ = false;
    bool finished_ = false;
    uint64_t sizeLimit_ = 0xFFFFFFFFu;
    time_t created_;
};

}  // namespace strome

#endif
