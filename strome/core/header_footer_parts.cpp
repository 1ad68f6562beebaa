#include "header_footer_parts.h"

#include "document_body.h"

namespace strome {

Story* HeaderFooterParts::Begin(bool footer, int64_t lineWidthTwips, FontTable* fonts)
{
    if (story_ || failed_ || parts_.size() >= kMaxParts)
        return nullptr;
    if (!spool_)
        spool_ = MakeSpool();
    openFooter_ = footer;
    openName_ = (footer ? "footer" : "header") + std::to_string(footer ? ++footers_ : ++headers_) + ".xml";
    openOffset_ = spool_->Size();
    deflater_.reset(new Deflater(*spool_));
    const std::string start = FlowPartStart(footer ? "w:ftr" : "w:hdr");
    deflater_->Write(start.data(), start.size());
    story_.reset(new Story(*deflater_, lineWidthTwips, fonts));
    return story_.get();
}

std::string HeaderFooterParts::End()
{
    if (!story_)
        return std::string();
    story_->Close(true);  // a header or footer holds at least one paragraph
    const std::string end = openFooter_ ? "</w:ftr>" : "</w:hdr>";
    deflater_->Write(end.data(), end.size());
    deflater_->Finish();
    story_.reset();
    if (!deflater_->ok()) {
        failed_ = true;
        deflater_.reset();
        return std::string();
    }
    Part part;
    part.footer = openFooter_;
    part.name = openName_;
    part.crc = deflater_->crc();
    part.rawSize = deflater_->rawSize();
    part.offset = openOffset_;
    part.compressedSize = deflater_->compressedSize();
    deflater_.reset();
    parts_.push_back(part);
    return part.name;
}

}  // namespace strome
