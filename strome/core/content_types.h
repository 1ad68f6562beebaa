// The registry behind [Content_Types].xml: a default content type per file extension and
// overrides for single parts.
#ifndef MORVANE_STROME_CORE_CONTENT_TYPES_H
#define MORVANE_STROME_CORE_CONTENT_TYPES_H

#include <string>
#include <utility>
#include <vector>

namespace strome {

class ContentTypes {
public:
    // extension without the dot, lower case; registering one twice keeps the first type.
    void AddDefault(const std::string& extension, const std::string& contentType);
    // partName starts with '/', e.g. "/word/document.xml".
    void AddOverride(const std::string& partName, const std::string& contentType);
    std::string Xml() const;

private:
    std::vector<std::pair<std::string, std::string>> defaults_;
    std::vector<std::pair<std::string, std::string>> overrides_;
};

}  // namespace strome

#endif
