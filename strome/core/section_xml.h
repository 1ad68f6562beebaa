// A section's properties (w:sectPr): its header and footer parts, how it starts, its page
// size, orientation and margins, its columns.
#ifndef MORVANE_STROME_CORE_SECTION_XML_H
#define MORVANE_STROME_CORE_SECTION_XML_H

#include <string>

#include "formats.h"

namespace strome {

// <w:sectPr>...</w:sectPr>
std::string SectionPropertiesXml(const SectionFormat& section);

}  // namespace strome

#endif
