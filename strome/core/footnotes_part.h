// word/footnotes.xml: the separator footnotes Word expects, then each footnote's text as it
// is given, compressed into a spool of its own. Footnotes referenced but never given text get
// an empty paragraph when the part is completed.
#ifndef MORVANE_STROME_CORE_FOOTNOTES_PART_H
#define MORVANE_STROME_CORE_FOOTNOTES_PART_H

#include <stdint.h>

#include <memory>
#include <vector>

#include "deflater.h"
#include "font_table.h"
#include "spool.h"
#include "story.h"

namespace strome {

class FootnotesPart {
public:
    // More footnotes than a document of many thousand pages has; past it references are refused.
    static constexpr int kMaxFootnotes = 1 << 20;
    // The part's ids 0 and 1 are the separator and continuation separator.
    static int64_t XmlId(int footnote) { return int64_t(footnote) + 1; }

    // A new footnote's number (1..), 0 when there are too many or no scratch storage.
    int AddReference();
    // Opens footnote's text; null when it is unknown, has its text already, or one is open.
    Story* Begin(int footnote, int64_t lineWidthTwips, FontTable* fonts);
    bool open() const { return story_ != nullptr; }
    void End();
    // Closes the part; false when it could not be stored.
    bool Finish();

    bool used() const { return deflater_ != nullptr; }
    bool ok() const { return !deflater_ || deflater_->ok(); }
    const Deflater* deflater() const { return deflater_.get(); }
    Spool* spool() { return spool_.get(); }

private:
    void Write(const std::string& xml);

    std::unique_ptr<Spool> spool_;
    std::unique_ptr<Deflater> deflater_;
    std::unique_ptr<Story> story_;
    std::vector<bool> written_;  // by footnote number - 1
    bool finished_ = false;
};

}  // namespace strome

#endif
