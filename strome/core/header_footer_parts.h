// The header and footer parts of a document (word/header1.xml, word/footer1.xml, ...): each
// is written through its own Story while it is open, compressed into one shared spool, so
// a document with a header per section keeps only a few dozen bytes per part in memory.
#ifndef MORVANE_STROME_CORE_HEADER_FOOTER_PARTS_H
#define MORVANE_STROME_CORE_HEADER_FOOTER_PARTS_H

#include <stdint.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "deflater.h"
#include "font_table.h"
#include "relationships.h"
#include "spool.h"
#include "story.h"

namespace strome {

class HeaderFooterParts {
public:
    // Zip archives hold at most 65 535 entries; the parts leave room for the pictures.
    static constexpr size_t kMaxParts = 16000;

    struct Part {
        bool footer;
        std::string name;  // "header1.xml", in the word folder
        uint32_t crc;
        uint64_t rawSize;
        uint64_t offset;  // of its compressed bytes in the spool
        uint64_t compressedSize;
        std::string relsXml;  // its relationships part (to its pictures), empty for none
    };

    // Opens a new part; null when one is open already, there are too many, or no scratch
    // storage can be had.
    Story* Begin(bool footer, int64_t lineWidthTwips, FontTable* fonts);
    // Completes the open part and returns its name; empty when none is open or it failed.
    std::string End();
    bool open() const { return story_ != nullptr; }
    // The open part's name ("header1.xml", in the word folder).
    const std::string& openName() const { return openName_; }
    // The open part's relationship to picture, made on its first use; target: the picture's
    // part, relative to the word folder.
    std::string PictureRelationship(int picture, const std::string& target);
    bool failed() const { return failed_; }

    const std::vector<Part>& parts() const { return parts_; }
    Spool* spool() { return spool_.get(); }

private:
    std::unique_ptr<Spool> spool_;
    std::unique_ptr<Deflater> deflater_;
    std::unique_ptr<Story> story_;
    std::vector<Part> parts_;
    bool openFooter_ = false;
    std::string openName_;
    Relationships openRels_;
    std::map<int, std::string> openPictures_;
    uint64_t openOffset_ = 0;
    int headers_ = 0, footers_ = 0;
    bool failed_ = false;
};

}  // namespace strome

#endif
