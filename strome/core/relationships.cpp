#include "relationships.h"

#include "ooxml_names.h"
#include "xml_writer.h"

namespace strome {

std::string Relationships::Add(const std::string& type, const std::string& target)
{
    items_.push_back(Item{"rId" + std::to_string(items_.size() + 1), type, target});
    return items_.back().id;
}

std::string Relationships::Xml() const
{
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    x.Open("Relationships").Attr("xmlns", ns::kPackageRels);
    for (const Item& r : items_)
        x.Open("Relationship").Attr("Id", r.id).Attr("Type", r.type).Attr("Target", r.target).Close();
    x.Close();
    return out;
}

}  // namespace strome
