#include "footnotes_part.h"

#include "document_body.h"

namespace strome {

void FootnotesPart::Write(const std::string& xml)
{
    deflater_->Write(xml.data(), xml.size());
}

int FootnotesPart::AddReference()
{
    if (finished_ || written_.size() >= size_t(kMaxFootnotes))
        return 0;
    if (!deflater_) {
        spool_ = MakeSpool();
        deflater_.reset(new Deflater(*spool_));
        Write(FlowPartStart("w:footnotes") +
              "<w:footnote w:type=\"separator\" w:id=\"0\"><w:p><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" "
              "w:lineRule=\"auto\"/></w:pPr><w:r><w:separator/></w:r></w:p></w:footnote>"
              "<w:footnote w:type=\"continuationSeparator\" w:id=\"1\"><w:p><w:pPr><w:spacing w:after=\"0\" "
              "w:line=\"240\" w:lineRule=\"auto\"/></w:pPr><w:r><w:continuationSeparator/></w:r></w:p></w:footnote>");
    }
    written_.push_back(false);
    return int(written_.size());
}

Story* FootnotesPart::Begin(int footnote, int64_t lineWidthTwips, FontTable* fonts)
{
    if (finished_ || story_ || footnote < 1 || size_t(footnote) > written_.size() || written_[size_t(footnote - 1)])
        return nullptr;
    written_[size_t(footnote - 1)] = true;
    Write("<w:footnote w:id=\"" + std::to_string(XmlId(footnote)) + "\">");
    story_.reset(new Story(*deflater_, lineWidthTwips, fonts));
    return story_.get();
}

void FootnotesPart::End()
{
    if (!story_)
        return;
    story_->Close(true);
    story_.reset();
    Write("</w:footnote>");
}

bool FootnotesPart::Finish()
{
    if (!deflater_ || finished_)
        return ok();
    End();
    for (size_t i = 0; i < written_.size(); ++i)
        if (!written_[i])
            Write("<w:footnote w:id=\"" + std::to_string(XmlId(int(i + 1))) + "\"><w:p>" + kFootnoteNumberRun +
                  "</w:p></w:footnote>");
    Write("</w:footnotes>");
    deflater_->Finish();
    finished_ = true;
    return ok();
}

}  // namespace strome
