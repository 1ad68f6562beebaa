#include "content_types.h"

#include "ooxml_names.h"
#include "xml_writer.h"

namespace strome {

void ContentTypes::AddDefault(const std::string& extension, const std::string& contentType)
{
    for (const auto& d : defaults_)
        if (d.first == extension)
            return;
    defaults_.emplace_back(extension, contentType);
}

void ContentTypes::AddOverride(const std::string& partName, const std::string& contentType)
{
    for (const auto& o : overrides_)
        if (o.first == partName)
            return;
    overrides_.emplace_back(partName, contentType);
}

std::string ContentTypes::Xml() const
{
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    x.Open("Types").Attr("xmlns", ns::kContentTypes);
    for (const auto& d : defaults_)
        x.Open("Default").Attr("Extension", d.first).Attr("ContentType", d.second).Close();
    for (const auto& o : overrides_)
        x.Open("Override").Attr("PartName", o.first).Attr("ContentType", o.second).Close();
    x.Close();
    return out;
}

}  // namespace strome
