#include "document_body.h"

#include "ooxml_names.h"
#include "section_xml.h"
#include "xml_writer.h"

namespace strome {

std::string FlowPartStart(const char* root)
{
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    out += std::string("<") + root + " xmlns:w=\"" + ns::kWordMain + "\" xmlns:r=\"" + ns::kOfficeRels +
           "\" xmlns:wp=\"" + ns::kWordDrawing + "\">";
    return out;
}

DocumentBody::DocumentBody(int64_t lineWidthTwips, FontTable* fonts)
    : spool_(MakeSpool()), deflater_(*spool_), story_(deflater_, lineWidthTwips, fonts, true)
{
    const std::string prologue = FlowPartStart("w:document") + "<w:body>";
    deflater_.Write(prologue.data(), prologue.size());
}

bool DocumentBody::Finish(const SectionFormat& lastSection)
{
    if (finished_)
        return ok();
    story_.Close();
    const std::string tail = SectionPropertiesXml(lastSection) + "</w:body></w:document>";
    deflater_.Write(tail.data(), tail.size());
    finished_ = true;
    deflater_.Finish();
    return ok();
}

}  // namespace strome
