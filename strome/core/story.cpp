#include "story.h"

#include <algorithm>

#include "paragraph_xml.h"
#include "run_xml.h"
#include "table_xml.h"
#include "xml_writer.h"

namespace strome {

namespace {

// A paragraph that only carries something (a section's properties, a page break before a
// table, the end of a flow after a table) takes one point of height, not a line: it should
// not push the page's content onto another page.
constexpr const char* kCarrierProps = "<w:spacing w:before=\"0\" w:after=\"0\" w:line=\"20\" w:lineRule=\"exact\"/>";
constexpr const char* kCarrierMark = "<w:rPr><w:sz w:val=\"2\"/><w:szCs w:val=\"2\"/></w:rPr>";
// Word's cell margins without a table that says otherwise: 0.075 inch left and right.
constexpr int64_t kDefaultCellMarginsTwips = 2 * 108;

std::string Compose(const std::string& props, const std::string& content, bool selfClosing)
{
    if (selfClosing && props.empty() && content.empty())
        return "<w:p/>";
    std::string xml = "<w:p>";
    if (!props.empty())
        xml += "<w:pPr>" + props + "</w:pPr>";
    xml += content;
    xml += "</w:p>";
    return xml;
}

}  // namespace

Story::Story(Deflater& out, int64_t lineWidthTwips, FontTable* fonts, bool holdLastParagraph)
    : out_(out), lineWidth_(lineWidthTwips), fonts_(fonts), holdLastParagraph_(holdLastParagraph)
{ }

void Story::Write(const std::string& xml)
{
    FlushHeld();
    out_.Write(xml.data(), xml.size());
}

void Story::FlushHeld()
{
    if (!held_.present)
        return;
    HeldParagraph held = std::move(held_);
    held_ = HeldParagraph();
    const std::string xml = Compose(held.props, held.content, held.selfClosing);
    out_.Write(xml.data(), xml.size());
}

void Story::NoteBlock(bool table)
{
    blockWritten_ = true;
    if (AtTopLevel()) {
        topEndsWithTable_ = table;
    } else {
        tables_.back().cellHasBlock = true;
        tables_.back().cellEndsWithTable = table;
    }
}

void Story::WriteParagraph(std::string props, std::string content, bool selfClosing)
{
    if (AtTopLevel() && holdLastParagraph_) {
        FlushHeld();
        held_.present = true;
        held_.props = std::move(props);
        held_.content = std::move(content);
        held_.selfClosing = selfClosing;
    } else {
        Write(Compose(props, content, selfClosing));
    }
    NoteBlock(false);
}

int64_t Story::CurrentLineWidth() const
{
    if (!tables_.empty() && tables_.back().inCell)
        return tables_.back().cellWidth;
    return lineWidth_;
}

void Story::WriteEmptyPageParagraph()
{
    WriteParagraph("<w:pageBreakBefore/>", "", false);
}

// A page break before the flow's first paragraph makes no page in Word or LibreOffice: when
// the first page is blank, an empty paragraph stands for it.
void Story::WriteBlankFirstPage()
{
    if (pendingPageBreaks_ > 0 && !blockWritten_)
        WriteParagraph("", "", true);
}

bool Story::BeginParagraph(const ParagraphFormat& f)
{
    if (!AtTopLevel() && !tables_.back().inCell)
        return false;  // a paragraph stands in a cell, never between rows
    if (inParagraph_)
        EndParagraph();
    if (AtTopLevel()) {
        WriteBlankFirstPage();
        // Pages without content between two breaks still make pages.
        for (; pendingPageBreaks_ > 1; --pendingPageBreaks_)
            WriteEmptyPageParagraph();
    }
    format_ = f;
    startWritten_ = false;
    hasContent_ = false;
    props_.clear();
    markProps_.clear();
    markGiven_ = false;
    para_.clear();
    runText_.clear();
    inParagraph_ = true;
    if (numberFirstParagraph_ && AtTopLevel() && !blockWritten_) {
        numberFirstParagraph_ = false;
        AddFootnoteMark();
    }
    return true;
}

bool Story::SetParagraphFormat(const ParagraphFormat& f)
{
    if (!inParagraph_ || startWritten_ || hasContent_)
        return false;
    format_ = f;
    return true;
}

void Story::WriteParagraphStart(int64_t firstLineHalfPoints)
{
    if (startWritten_)
        return;
    startWritten_ = true;
    const bool pageBreak = AtTopLevel() && pendingPageBreaks_ > 0;
    props_ = ParagraphPropertiesXml(format_, CurrentLineWidth(), firstLineHalfPoints, pageBreak);
    if (pageBreak)
        pendingPageBreaks_ = 0;
}

void Story::StartContent()
{
    hasContent_ = true;
    FlushRun();
    WriteParagraphStart();
}

void Story::FlushRun()
{
    if (runText_.empty())
        return;
    const RunFormat& f = runFormat_;
    WriteParagraphStart(f.halfPoints);
    const std::string props = RunPropertiesXml(f, HasEastAsian(runText_));
    if (fonts_) {
        fonts_->Note(f.font.family);
        fonts_->Note(f.eastAsiaFamily);
    }
    // The mark of a paragraph of the later records takes its first run's format, so that its
    // last line is as tall as the text on it.
    if (!format_.measuredBetweenGlyphBoxes && !markGiven_ && markProps_.empty())
        markProps_ = RunPropertiesXml(f, false);
    std::string content;
    AppendRunText(content, runText_);
    if (!content.empty()) {  // text made only of characters XML cannot carry gives no run
        para_ += "<w:r>";
        if (!props.empty())
            para_ += "<w:rPr>" + props + "</w:rPr>";
        para_ += content;
        para_ += "</w:r>";
    }
    runText_.clear();
}

void Story::AddText(const char16_t* text, size_t length, const RunFormat& format)
{
    if (!inParagraph_ || length == 0 || !text)
        return;
    hasContent_ = true;
    if (!runText_.empty() && format != runFormat_)
        FlushRun();
    runFormat_ = format;
    runText_.append(text, length);
}

void Story::AddLineBreak()
{
    if (!inParagraph_)
        return;
    StartContent();
    para_ += "<w:r><w:br/></w:r>";
}

void Story::AddColumnBreak()
{
    if (!inParagraph_)
        return;
    StartContent();
    para_ += "<w:r><w:br w:type=\"column\"/></w:r>";
}

void Story::AddField(FieldKind kind, const std::u16string& shown, const RunFormat& format)
{
    if (!inParagraph_)
        return;
    hasContent_ = true;
    FlushRun();
    WriteParagraphStart(format.halfPoints);
    const std::string props = RunPropertiesXml(format, HasEastAsian(shown));
    if (!format_.measuredBetweenGlyphBoxes && !markGiven_ && markProps_.empty())
        markProps_ = RunPropertiesXml(format, false);
    para_ += kind == FieldKind::kPage ? "<w:fldSimple w:instr=\" PAGE \">" : "<w:fldSimple w:instr=\" NUMPAGES \">";
    std::string text;
    AppendRunText(text, shown);
    if (!text.empty()) {
        para_ += "<w:r>";
        if (!props.empty())
            para_ += "<w:rPr>" + props + "</w:rPr>";
        para_ += text + "</w:r>";
    }
    para_ += "</w:fldSimple>";
}

void Story::AddFootnoteReference(int64_t xmlId, const RunFormat& format)
{
    if (!inParagraph_)
        return;
    StartContent();
    RunFormat f = format;
    if (f.verticalAlign == VerticalAlign::kBaseline)
        f.verticalAlign = VerticalAlign::kSuperscript;
    para_ += "<w:r><w:rPr>" + RunPropertiesXml(f, false) + "</w:rPr><w:footnoteReference w:id=\"" +
             std::to_string(xmlId) + "\"/></w:r>";
}

void Story::AddFootnoteMark()
{
    if (!inParagraph_)
        return;
    StartContent();
    para_ += kFootnoteNumberRun;
    para_ += "<w:r><w:t xml:space=\"preserve\"> </w:t></w:r>";
}

void Story::AddPicture(const PictureDrawing& picture)
{
    if (!inParagraph_)
        return;
    StartContent();
    AppendPictureRun(para_, picture);
}

void Story::SetMarkFormat(const RunFormat& format)
{
    if (!inParagraph_)
        return;
    markProps_ = RunPropertiesXml(format, false);
    markGiven_ = true;
}

void Story::EndParagraph()
{
    if (!inParagraph_)
        return;
    FlushRun();
    WriteParagraphStart();
    std::string props = std::move(props_);
    if (!markProps_.empty())
        props += "<w:rPr>" + markProps_ + "</w:rPr>";
    std::string content = std::move(para_);
    inParagraph_ = false;
    props_.clear();
    para_.clear();
    para_.shrink_to_fit();  // one huge paragraph should not pin its buffer for the rest of the flow
    markProps_.clear();
    WriteParagraph(std::move(props), std::move(content), false);
}

// ---- tables

bool Story::BeginTable(const TableFormat& format, const std::vector<int64_t>& grid)
{
    if (grid.empty() || grid.size() > size_t(kMaxGridColumns) || TableDepth() >= kMaxTableDepth)
        return false;
    if (!AtTopLevel() && !tables_.back().inCell)
        return false;  // a table stands in a cell, never between rows
    if (inParagraph_)
        EndParagraph();
    if (AtTopLevel() && pendingPageBreaks_ > 0) {
        // A table cannot start a page itself: a paragraph of a point's height does.
        WriteBlankFirstPage();
        for (; pendingPageBreaks_ > 0; --pendingPageBreaks_)
            WriteParagraph(std::string("<w:pageBreakBefore/>") + kCarrierProps + kCarrierMark, "", false);
    }
    TableFrame frame;
    frame.startXml = TableStartXml(format, grid);
    for (int64_t w : grid)
        frame.grid.push_back(ClampTwips(w, 1, kMaxTwips));
    frame.cellMarginsTwips = format.hasCellMargins ? ClampTwips(format.cellMarginTwips[1], 0, kMaxTwips) +
                                                         ClampTwips(format.cellMarginTwips[3], 0, kMaxTwips)
                                                   : kDefaultCellMarginsTwips;
    tables_.push_back(std::move(frame));
    return true;
}

bool Story::BeginRow(const RowFormat& format)
{
    if (tables_.empty())
        return false;
    if (tables_.back().inRow)
        EndRow();
    TableFrame& t = tables_.back();
    if (!t.started) {
        Write(t.startXml);
        t.started = true;
        t.startXml.clear();
        t.startXml.shrink_to_fit();
    }
    Write(RowStartXml(format));
    t.inRow = true;
    t.rowColumns = 0;
    t.rowCells = 0;
    return true;
}

bool Story::BeginCell(const CellFormat& format)
{
    if (tables_.empty() || !tables_.back().inRow)
        return false;
    if (tables_.back().inCell)
        EndCell();
    TableFrame& t = tables_.back();
    const int span = std::max(1, format.gridSpan);
    if (span > int(t.grid.size()) - t.rowColumns)
        return false;  // past the grid's end
    int64_t width = 0;
    for (int i = 0; i < span; ++i)
        width += t.grid[size_t(t.rowColumns + i)];
    CellFormat f = format;
    f.gridSpan = span;
    Write(CellStartXml(f, width));
    const int64_t margins = format.hasMargins ? ClampTwips(format.marginTwips[1], 0, kMaxTwips) +
                                                    ClampTwips(format.marginTwips[3], 0, kMaxTwips)
                                              : t.cellMarginsTwips;
    t.cellWidth = std::max<int64_t>(0, width - margins);
    t.inCell = true;
    t.cellHasBlock = false;
    t.cellEndsWithTable = false;
    t.rowColumns += span;
    ++t.rowCells;
    return true;
}

bool Story::EndCell()
{
    if (tables_.empty() || !tables_.back().inCell)
        return false;
    if (inParagraph_)
        EndParagraph();
    TableFrame& t = tables_.back();
    // A cell holds at least one paragraph, and ends with one.
    if (!t.cellHasBlock || t.cellEndsWithTable)
        Write("<w:p/>");
    Write("</w:tc>");
    t.inCell = false;
    return true;
}

bool Story::EndRow()
{
    if (tables_.empty() || !tables_.back().inRow)
        return false;
    if (tables_.back().inCell)
        EndCell();
    TableFrame& t = tables_.back();
    if (t.rowCells == 0) {  // a row holds at least one cell
        CellFormat whole;
        whole.gridSpan = int(t.grid.size());
        int64_t width = 0;
        for (int64_t w : t.grid)
            width += w;
        Write(CellStartXml(whole, width) + "<w:p/></w:tc>");
    }
    Write("</w:tr>");
    t.inRow = false;
    return true;
}

bool Story::EndTable()
{
    if (tables_.empty())
        return false;
    if (tables_.back().inRow)
        EndRow();
    const bool started = tables_.back().started;
    tables_.pop_back();
    if (started) {
        Write("</w:tbl>");
        NoteBlock(true);
    }
    return true;
}

// ---- sections and the flow's end

void Story::EndSection(const std::string& sectionXml)
{
    if (inParagraph_)
        EndParagraph();
    while (!tables_.empty())
        EndTable();
    if (held_.present && !topEndsWithTable_) {
        held_.props += sectionXml;
        FlushHeld();
        return;
    }
    Write(std::string("<w:p><w:pPr>") + kCarrierProps + kCarrierMark + sectionXml + "</w:pPr></w:p>");
    NoteBlock(false);
}

void Story::Close(bool atLeastOneParagraph)
{
    if (inParagraph_)
        EndParagraph();
    while (!tables_.empty())
        EndTable();
    WriteBlankFirstPage();
    for (; pendingPageBreaks_ > 0; --pendingPageBreaks_)
        WriteEmptyPageParagraph();
    if (topEndsWithTable_)
        WriteParagraph(std::string(kCarrierProps) + kCarrierMark, "", false);
    else if (atLeastOneParagraph && !blockWritten_ && numberFirstParagraph_) {
        BeginParagraph(ParagraphFormat());
        EndParagraph();
    } else if (atLeastOneParagraph && !blockWritten_)
        WriteParagraph("", "", true);
    FlushHeld();
}

}  // namespace strome
