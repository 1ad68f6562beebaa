#include "header_footer_parts.h"

#include "document_body.h"
#include "ooxml_names.h"

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
    openRels_ = Relationships();
    openPictures_.clear();
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
    if (openRels_.size() > 0)
        part.relsXml = openRels_.Xml();
    openRels_ = Relationships();
    openPictures_.clear();
    deflater_.reset();
    parts_.push_back(part);
    return part.name;
}

std::string HeaderFooterParts::PictureRelationship(int picture, const std::string& target)
{
    auto it = openPictures_.find(picture);
    if (it != openPictures_.end())
        return it->second;
    std::string id = openRels_.Add(reltype::kImage, target);
    openPictures_[picture] = id;
    return id;
}

}  // namespace strome
