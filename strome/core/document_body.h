// word/document.xml, written as the document grows: its blocks go through a Story that
// compresses them into a spool, so memory does not grow with the document; sections end
// where the document's page geometry changes, the last one with the body.
#ifndef MORVANE_STROME_CORE_DOCUMENT_BODY_H
#define MORVANE_STROME_CORE_DOCUMENT_BODY_H

#include <memory>

#include "deflater.h"
#include "font_table.h"
#include "formats.h"
#include "spool.h"
#include "story.h"

namespace strome {

class DocumentBody {
public:
    DocumentBody(int64_t lineWidthTwips, FontTable* fonts);

    Story& story() { return story_; }
    // Ends the body with the last section's properties; false when anything could not be stored.
    bool Finish(const SectionFormat& lastSection);

    bool ok() const { return deflater_.ok(); }
    Spool& spool() { return *spool_; }
    const Deflater& deflater() const { return deflater_; }

private:
    std::unique_ptr<Spool> spool_;
    Deflater deflater_;
    Story story_;
    bool finished_ = false;
};

// The root element's start of a part made of blocks (w:document, w:hdr, w:ftr, w:footnotes)
// with the namespaces its content uses.
std::string FlowPartStart(const char* rootElement);

}  // namespace strome

#endif
