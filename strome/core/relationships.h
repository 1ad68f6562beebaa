// The registry behind one relationships part (_rels/.rels, word/_rels/document.xml.rels).
#ifndef MORVANE_STROME_CORE_RELATIONSHIPS_H
#define MORVANE_STROME_CORE_RELATIONSHIPS_H

#include <string>
#include <vector>

namespace strome {

class Relationships {
public:
    // Adds a relationship and returns its id ("rId1", "rId2", ...). target is relative to the
    // folder of the source part.
    std::string Add(const std::string& type, const std::string& target);
    std::string Xml() const;
    size_t size() const { return items_.size(); }

private:
    struct Item {
        std::string id, type, target;
    };
    std::vector<Item> items_;
};

}  // namespace strome

#endif
