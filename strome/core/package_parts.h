// The fixed parts of a document package: styles, settings and the document properties.
#ifndef MORVANE_STROME_CORE_PACKAGE_PARTS_H
#define MORVANE_STROME_CORE_PACKAGE_PARTS_H

#include <time.h>

#include <string>

namespace strome {

// The fonts of text without a font name: Latin and East Asian. Both ship with Windows and
// Word knows them by these names; LibreOffice substitutes metric-compatible or CJK fonts.
constexpr const char* kDefaultLatinFont = "Times New Roman";
constexpr const char* kDefaultEastAsianFont = "SimSun";
// 10.5 points, the body size of most Chinese documents, for text without a size.
constexpr int kDefaultHalfPoints = 21;

std::string StylesXml();
// footnotes: the document has a footnotes part.
std::string SettingsXml(bool footnotes = false);
std::string CorePropertiesXml(time_t created);
std::string AppPropertiesXml();

}  // namespace strome

#endif
