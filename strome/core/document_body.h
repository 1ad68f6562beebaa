// word/document.xml, written as the document grows: each paragraph is built in memory, then
// compressed into a spool when it is complete, so memory does not grow with the document.
// Adjacent text of the same format is merged into one run.
#ifndef MORVANE_STROME_CORE_DOCUMENT_BODY_H
#define MORVANE_STROME_CORE_DOCUMENT_BODY_H

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>

#include "deflater.h"
#include "formats.h"
#include "spool.h"

namespace strome {

class DocumentBody {
public:
    explicit DocumentBody(const PageLayout& page);

    void BeginParagraph(const ParagraphFormat& format);
    // Changes the open paragraph's format; false once its content has begun.
    bool SetParagraphFormat(const ParagraphFormat& format);
    void AddText(const char16_t* text, size_t length, const RunFormat& format);
    void AddLineBreak();
    // An inline picture of the given size in EMU, its bytes in the relationship relId.
    void AddPicture(const std::string& relId, int64_t widthEmu, int64_t heightEmu);
    void EndParagraph();
    bool InParagraph() const { return inParagraph_; }
    // The next paragraph starts on a new page.
    void AddPageBreak() { ++pendingPageBreaks_; }

    // Ends the body with the section properties; false when anything could not be stored.
    bool Finish();

    bool ok() const { return deflater_.ok(); }
    Spool& spool() { return *spool_; }
    const Deflater& deflater() const { return deflater_; }

private:
    // Opens the paragraph and writes its properties; the size of its first line, when known,
    // takes the part of the space before it that Word's taller line box already fills.
    void WriteParagraphStart(int64_t firstLineHalfPoints = 0);
    void FlushRun();
    void WriteEmptyPageParagraph();
    void WriteBlankFirstPage();
    void Emit(const std::string& xml);

    const PageLayout page_;
    std::unique_ptr<Spool> spool_;
    Deflater deflater_;
    std::string para_;          // XML of the paragraph being built
    ParagraphFormat format_;    // of the open paragraph, written with its first content
    bool startWritten_ = false;
    bool hasContent_ = false;   // text, a break or a picture was added to the open paragraph
    std::u16string runText_;    // text of the run being merged
    RunFormat runFormat_;
    bool inParagraph_ = false;
    int pendingPageBreaks_ = 0;
    bool paragraphWritten_ = false;  // a paragraph is in the body
    int64_t nextDrawingId_ = 1;
    bool finished_ = false;
};

}  // namespace strome

#endif
