// The fonts the document's runs name, for word/fontTable.xml: Word and LibreOffice read it
// to choose substitutes for fonts the machine lacks.
#ifndef MORVANE_STROME_CORE_FONT_TABLE_H
#define MORVANE_STROME_CORE_FONT_TABLE_H

#include <set>
#include <string>

namespace strome {

class FontTable {
public:
    // A document names few fonts; past this many the table stops growing (a run naming a
    // font that is not in the table still shows in it).
    static constexpr size_t kMaxFonts = 256;

    FontTable();
    void Note(const std::string& family);
    std::string Xml() const;

private:
    std::set<std::string> families_;
};

}  // namespace strome

#endif
