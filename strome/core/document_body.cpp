#include "document_body.h"

#include <algorithm>
#include <cmath>

#include "ooxml_names.h"
#include "xml_text.h"
#include "xml_writer.h"

namespace strome {

namespace {

// Word refuses indents and spacing beyond 22 inches, and pictures beyond its canvas.
constexpr int64_t kMaxTwips = 31680;
constexpr int64_t kMaxPictureEmu = 22 * 914400;
constexpr int kMinHalfPoints = 2, kMaxHalfPoints = 3276;
constexpr int64_t kMinLineTwips = 2880;  // 2 inches
// The gap the layout hands over is measured between glyph boxes of one em (0.8 em above the
// baseline, 0.2 below); at single spacing a line of common fonts is about 1.15 em tall, so a
// paragraph's first line already takes this much of the gap above it, in twips per half-point.
constexpr double kLineBoxExtraTwipsPerHalfPoint = 0.15 * 10;

int64_t Clamp(int64_t v, int64_t lo, int64_t hi) { return std::min(std::max(v, lo), hi); }

const char* AlignmentValue(Alignment a)
{
    switch (a) {
    case Alignment::kLeft: return "left";
    case Alignment::kCenter: return "center";
    case Alignment::kRight: return "right";
    case Alignment::kJustify: return "both";
    default: return nullptr;
    }
}

// Text of one run as w:t pieces, with tabs as w:tab and line ends (LF, CR, CR LF) as w:br.
// Characters XML cannot carry are dropped; a piece whose ends are spaces, or that holds two
// spaces in a row, keeps them with xml:space="preserve".
void WriteRunText(std::string& out, const std::u16string& text)
{
    std::string piece;
    bool firstSpace = false, lastSpace = false, doubleSpace = false, empty = true, afterCr = false;
    auto flush = [&] {
        if (empty)
            return;
        out += (firstSpace || lastSpace || doubleSpace) ? "<w:t xml:space=\"preserve\">" : "<w:t>";
        out += piece;
        out += "</w:t>";
        piece.clear();
        empty = true;
        firstSpace = lastSpace = doubleSpace = false;
    };
    DecodeUtf16(text.data(), text.size(), [&](uint32_t c) {
        bool wasCr = afterCr;
        afterCr = false;
        if (c == '\t') {
            flush();
            out += "<w:tab/>";
            return;
        }
        if (c == '\r' || c == '\n') {
            afterCr = c == '\r';
            if (c == '\n' && wasCr)
                return;
            flush();
            out += "<w:br/>";
            return;
        }
        if (!IsXmlChar(c))
            return;
        bool space = c == ' ';
        if (empty)
            firstSpace = space;
        else if (space && lastSpace)
            doubleSpace = true;
        lastSpace = space;
        empty = false;
        AppendXmlChar(piece, c, XmlSlot::kText);
    });
    flush();
}

bool HasEastAsian(const std::u16string& text)
{
    bool found = false;
    DecodeUtf16(text.data(), text.size(), [&](uint32_t c) { found = found || morvane::IsCjk(c); });
    return found;
}

std::string HexColor(int32_t rgb)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string s(6, '0');
    for (int i = 5; i >= 0; --i, rgb >>= 4)
        s[i] = kHex[rgb & 0xF];
    return s;
}

}  // namespace

DocumentBody::DocumentBody(const PageLayout& page) : page_(page), spool_(MakeSpool()), deflater_(*spool_)
{
    std::string prologue;
    XmlWriter x(prologue);
    x.Declaration();
    prologue +=
        std::string("<w:document xmlns:w=\"") + ns::kWordMain + "\" xmlns:r=\"" + ns::kOfficeRels +
        "\" xmlns:wp=\"" + ns::kWordDrawing + "\"><w:body>";
    Emit(prologue);
}

void DocumentBody::Emit(const std::string& xml) { deflater_.Write(xml.data(), xml.size()); }

void DocumentBody::WriteEmptyPageParagraph()
{
    Emit("<w:p><w:pPr><w:pageBreakBefore/></w:pPr></w:p>");
    paragraphWritten_ = true;
}

// A page break before the document's first paragraph makes no page in Word or LibreOffice: when
// the first page is blank, an empty paragraph stands for it.
void DocumentBody::WriteBlankFirstPage()
{
    if (pendingPageBreaks_ > 0 && !paragraphWritten_) {
        Emit("<w:p/>");
        paragraphWritten_ = true;
    }
}

void DocumentBody::BeginParagraph(const ParagraphFormat& f)
{
    if (finished_)
        return;
    if (inParagraph_)
        EndParagraph();
    WriteBlankFirstPage();
    // Pages without content between two breaks still make pages.
    for (; pendingPageBreaks_ > 1; --pendingPageBreaks_)
        WriteEmptyPageParagraph();
    format_ = f;
    startWritten_ = false;
    hasContent_ = false;
    para_.clear();
    inParagraph_ = true;
}

bool DocumentBody::SetParagraphFormat(const ParagraphFormat& f)
{
    if (!inParagraph_ || startWritten_ || hasContent_)
        return false;
    format_ = f;
    return true;
}

void DocumentBody::WriteParagraphStart(int64_t firstLineHalfPoints)
{
    if (startWritten_)
        return;
    startWritten_ = true;
    const ParagraphFormat& f = format_;
    para_ += "<w:p>";
    XmlWriter x(para_);
    // Text that starts further right than the text area is wide (a wide PDF page on the
    // narrower Word page) would get a line of almost no width, one letter per line: the indents
    // leave at least kMinLineTwips of line.
    const int64_t maxIndent = std::max<int64_t>(0, page_.textWidthTwips() - kMinLineTwips);
    const int64_t left = Clamp(f.leftTwips, 0, std::min(kMaxTwips, maxIndent));
    const int64_t first = Clamp(f.firstLineTwips, -kMaxTwips, std::min(kMaxTwips, maxIndent - left));
    const int64_t lineBoxExtra =
        static_cast<int64_t>(std::lround(kLineBoxExtraTwipsPerHalfPoint * Clamp(firstLineHalfPoints, 0, kMaxHalfPoints)));
    const int64_t before = Clamp(f.spaceBeforeTwips - lineBoxExtra, 0, kMaxTwips);
    const char* jc = AlignmentValue(f.alignment);
    if (pendingPageBreaks_ > 0 || left != 0 || first != 0 || before != 0 || jc) {
        x.Open("w:pPr");
        if (pendingPageBreaks_ > 0)
            x.Open("w:pageBreakBefore").Close();
        if (before != 0)
            x.Open("w:spacing").Attr("w:before", before).Close();
        if (left != 0 || first != 0) {
            x.Open("w:ind");
            if (left != 0)
                x.Attr("w:left", left);
            if (first > 0)
                x.Attr("w:firstLine", first);
            else if (first < 0)
                x.Attr("w:hanging", -first);
            x.Close();
        }
        if (jc)
            x.Open("w:jc").Attr("w:val", jc).Close();
        x.Close();
    }
    pendingPageBreaks_ = 0;
}

void DocumentBody::FlushRun()
{
    if (runText_.empty())
        return;
    const RunFormat& f = runFormat_;
    const bool eastAsian = HasEastAsian(runText_);
    WriteParagraphStart(f.halfPoints);
    std::string props;
    XmlWriter x(props);
    if (!f.font.family.empty() || eastAsian) {
        x.Open("w:rFonts");
        if (!f.font.family.empty()) {
            x.Attr("w:ascii", f.font.family).Attr("w:hAnsi", f.font.family);
            if (!f.font.latinOnly)
                x.Attr("w:eastAsia", f.font.family);
            x.Attr("w:cs", f.font.family);
        }
        if (eastAsian)
            x.Attr("w:hint", "eastAsia");  // shared punctuation takes the East Asian font
        x.Close();
    }
    if (f.font.bold)
        props += "<w:b/><w:bCs/>";
    if (f.font.italic)
        props += "<w:i/><w:iCs/>";
    if (f.rgb >= 0)
        props += "<w:color w:val=\"" + HexColor(f.rgb) + "\"/>";
    if (f.halfPoints > 0) {
        std::string size = std::to_string(Clamp(f.halfPoints, kMinHalfPoints, kMaxHalfPoints));
        props += "<w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/>";
    }
    std::string content;
    WriteRunText(content, runText_);
    if (!content.empty()) {  // text made only of characters XML cannot carry gives no run
        para_ += "<w:r>";
        if (!props.empty())
            para_ += "<w:rPr>" + props + "</w:rPr>";
        para_ += content;
        para_ += "</w:r>";
    }
    runText_.clear();
}

void DocumentBody::AddText(const char16_t* text, size_t length, const RunFormat& format)
{
    if (!inParagraph_ || length == 0)
        return;
    hasContent_ = true;
    if (!runText_.empty() && format != runFormat_)
        FlushRun();
    runFormat_ = format;
    runText_.append(text, length);
}

void DocumentBody::AddLineBreak()
{
    if (!inParagraph_)
        return;
    hasContent_ = true;
    FlushRun();
    WriteParagraphStart();
    para_ += "<w:r><w:br/></w:r>";
}

void DocumentBody::AddPicture(const std::string& relId, int64_t cx, int64_t cy)
{
    if (!inParagraph_)
        return;
    hasContent_ = true;
    FlushRun();
    WriteParagraphStart();
    cx = Clamp(cx, 1, kMaxPictureEmu);
    cy = Clamp(cy, 1, kMaxPictureEmu);
    const int64_t id = nextDrawingId_++;
    const std::string name = "Picture " + std::to_string(id);
    XmlWriter x(para_);
    x.Open("w:r").Open("w:drawing");
    x.Open("wp:inline").Attr("distT", int64_t(0)).Attr("distB", int64_t(0)).Attr("distL", int64_t(0)).Attr("distR", int64_t(0));
    x.Open("wp:extent").Attr("cx", cx).Attr("cy", cy).Close();
    x.Open("wp:effectExtent").Attr("l", int64_t(0)).Attr("t", int64_t(0)).Attr("r", int64_t(0)).Attr("b", int64_t(0)).Close();
    x.Open("wp:docPr").Attr("id", id).Attr("name", name).Close();
    x.Open("wp:cNvGraphicFramePr")
        .Open("a:graphicFrameLocks").Attr("xmlns:a", ns::kDrawingMain).Attr("noChangeAspect", "1").Close()
        .Close();
    x.Open("a:graphic").Attr("xmlns:a", ns::kDrawingMain);
    x.Open("a:graphicData").Attr("uri", ns::kPicture);
    x.Open("pic:pic").Attr("xmlns:pic", ns::kPicture);
    x.Open("pic:nvPicPr").Open("pic:cNvPr").Attr("id", id).Attr("name", name).Close().Open("pic:cNvPicPr").Close().Close();
    x.Open("pic:blipFill").Open("a:blip").Attr("r:embed", relId).Close();
    x.Open("a:stretch").Open("a:fillRect").Close().Close().Close();
    x.Open("pic:spPr").Open("a:xfrm");
    x.Open("a:off").Attr("x", int64_t(0)).Attr("y", int64_t(0)).Close();
    x.Open("a:ext").Attr("cx", cx).Attr("cy", cy).Close();
    x.Close();
    x.Open("a:prstGeom").Attr("prst", "rect").Open("a:avLst").Close().Close();
    x.Close();  // pic:spPr
    x.Close().Close().Close();  // pic:pic, a:graphicData, a:graphic
    x.Close().Close().Close();  // wp:inline, w:drawing, w:r
}

void DocumentBody::EndParagraph()
{
    if (!inParagraph_)
        return;
    FlushRun();
    WriteParagraphStart();
    para_ += "</w:p>";
    Emit(para_);
    paragraphWritten_ = true;
    para_.clear();
    para_.shrink_to_fit();  // one huge paragraph should not pin its buffer for the rest of the document
    inParagraph_ = false;
}

bool DocumentBody::Finish()
{
    if (finished_)
        return ok();
    EndParagraph();
    WriteBlankFirstPage();
    for (; pendingPageBreaks_ > 0; --pendingPageBreaks_)
        WriteEmptyPageParagraph();
    std::string tail;
    XmlWriter x(tail);
    x.Open("w:sectPr");
    const PageLayout& page = page_;
    x.Open("w:pgSz").Attr("w:w", page.widthTwips).Attr("w:h", page.heightTwips).Close();
    x.Open("w:pgMar")
        .Attr("w:top", page.topTwips).Attr("w:right", page.rightTwips)
        .Attr("w:bottom", page.bottomTwips).Attr("w:left", page.leftTwips)
        .Attr("w:header", int64_t(360)).Attr("w:footer", int64_t(360)).Attr("w:gutter", int64_t(0))
        .Close();
    x.Open("w:cols").Attr("w:space", int64_t(425)).Close();
    x.Close();
    tail += "</w:body></w:document>";
    Emit(tail);
    finished_ = true;
    deflater_.Finish();
    return ok();
}

}  // namespace strome
