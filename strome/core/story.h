// One flow of blocks (paragraphs and tables) written as XML into a compressed part as it
// grows: the body, a header or footer, a footnote. A paragraph is built in memory and
// written when it is complete; tables are written row by row and cell by cell as they open
// and close, so memory does not grow with the flow. Adjacent text of the same format is
// merged into one run.
//
// Every call is safe in any order: a call that does not fit the flow's state (a cell outside
// a row, a row outside a table) is refused with false and changes nothing.
#ifndef MORVANE_STROME_CORE_STORY_H
#define MORVANE_STROME_CORE_STORY_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "deflater.h"
#include "drawing_xml.h"
#include "font_table.h"
#include "formats.h"

namespace strome {

// The run of a footnote's number at the start of its text.
constexpr const char* kFootnoteNumberRun =
    "<w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr><w:footnoteRef/></w:r>";

class Story {
public:
    static constexpr int kMaxTableDepth = 8;

    // lineWidthTwips: the width of the flow's lines (column or text area). holdLastParagraph:
    // the last paragraph at the top level is kept back until the next block, so that section
    // properties can still join it (the body).
    Story(Deflater& out, int64_t lineWidthTwips, FontTable* fonts, bool holdLastParagraph = false);

    void SetLineWidth(int64_t twips) { lineWidth_ = twips; }

    // ---- paragraphs: one is open at a time; starting a block completes it.
    // False between the rows of a table (a paragraph stands in a cell).
    bool BeginParagraph(const ParagraphFormat& format);
    // Changes the open paragraph's format; false once its content has begun.
    bool SetParagraphFormat(const ParagraphFormat& format);
    bool InParagraph() const { return inParagraph_; }
    void AddText(const char16_t* text, size_t length, const RunFormat& format);
    void AddLineBreak();
    void AddColumnBreak();
    void AddField(FieldKind kind, const std::u16string& shown, const RunFormat& format);
    void AddFootnoteReference(int64_t xmlId, const RunFormat& format);
    // The flow is a footnote's text: its first paragraph starts with the footnote's number.
    void NumberFirstParagraph() { numberFirstParagraph_ = true; }
    void AddPicture(const PictureDrawing& picture);
    void SetMarkFormat(const RunFormat& format);
    void EndParagraph();

    // ---- tables
    bool BeginTable(const TableFormat& format, const std::vector<int64_t>& gridTwips);
    bool BeginRow(const RowFormat& format);
    bool BeginCell(const CellFormat& format);
    bool EndCell();
    bool EndRow();
    bool EndTable();
    int TableDepth() const { return int(tables_.size()); }

    // ---- page breaks before the next paragraph at the top level
    void AddPageBreak() { ++pendingPageBreaks_; }
    int pendingPageBreaks() const { return pendingPageBreaks_; }
    void DropPendingPageBreak()
    {
        if (pendingPageBreaks_ > 0)
            --pendingPageBreaks_;
    }

    // Nothing has been added to the flow yet.
    bool Empty() const
    {
        return !blockWritten_ && !inParagraph_ && !held_.present && pendingPageBreaks_ == 0 && tables_.empty();
    }

    // Ends the current section with these properties (a w:sectPr): they join the held last
    // paragraph, or a paragraph of their own when a table or nothing came last.
    void EndSection(const std::string& sectionXml);

    // Completes the open paragraph and tables and the pending page breaks; the flow then ends
    // with a paragraph, as Word expects of a body, a cell, a header or a footnote.
    // atLeastOneParagraph: an empty flow gets an empty paragraph.
    void Close(bool atLeastOneParagraph = false);

private:
    struct HeldParagraph {
        bool present = false;
        std::string props, content;
        bool selfClosing = false;
    };
    struct TableFrame {
        std::string startXml;  // written with the first row: a table without rows is none
        std::vector<int64_t> grid;
        int64_t cellMarginsTwips;  // left + right of every cell
        bool started = false;
        bool inRow = false;
        bool inCell = false;
        int rowColumns = 0;  // grid columns the row's cells cover so far
        int rowCells = 0;
        bool cellHasBlock = false;
        bool cellEndsWithTable = false;
        int64_t cellWidth = 0;
    };

    void WriteParagraphStart(int64_t firstLineHalfPoints = 0);
    void AddFootnoteMark();
    void FlushRun();
    void StartContent();
    void WriteEmptyPageParagraph();
    void WriteBlankFirstPage();
    void WriteParagraph(std::string props, std::string content, bool selfClosing);
    void FlushHeld();
    void Write(const std::string& xml);
    void NoteBlock(bool table);
    int64_t CurrentLineWidth() const;
    bool AtTopLevel() const { return tables_.empty(); }

    Deflater& out_;
    int64_t lineWidth_;
    FontTable* fonts_;
    const bool holdLastParagraph_;

    ParagraphFormat format_;  // of the open paragraph, written with its first content
    std::string props_;  // the open paragraph's w:pPr content
    std::string markProps_;  // w:rPr of its mark
    bool markGiven_ = false;
    std::string para_;  // its content
    bool startWritten_ = false;
    bool hasContent_ = false;
    std::u16string runText_;  // text of the run being merged
    RunFormat runFormat_;
    bool inParagraph_ = false;
    HeldParagraph held_;

    std::vector<TableFrame> tables_;
    bool topEndsWithTable_ = false;
    int pendingPageBreaks_ = 0;
    bool blockWritten_ = false;  // a block is in the flow
    bool numberFirstParagraph_ = false;
};

}  // namespace strome

#endif
