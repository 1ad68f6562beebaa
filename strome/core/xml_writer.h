// A small streaming XML writer over a string buffer: elements are opened and closed in
// order, attribute values and character data always go through the escaping of xml_text.h.
// Element and attribute names are string literals of this library, never caller text.
#ifndef MORVANE_STROME_CORE_XML_WRITER_H
#define MORVANE_STROME_CORE_XML_WRITER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace strome {

class XmlWriter {
public:
    explicit XmlWriter(std::string& out) : out_(out) { }

    // <?xml ... standalone="yes"?> and a line end, as the package parts start.
    void Declaration();

    XmlWriter& Open(const char* name);
    // Attributes belong to the element opened last; they must come before its content.
    XmlWriter& Attr(const char* name, const char* utf8Value);
    XmlWriter& Attr(const char* name, const std::string& utf8Value) { return Attr(name, utf8Value.c_str()); }
    XmlWriter& Attr(const char* name, int64_t value);
    XmlWriter& Text(const char* utf8);
    XmlWriter& Text(const std::string& utf8) { return Text(utf8.c_str()); }
    XmlWriter& Text(const char16_t* text, size_t length);
    // Closes the innermost open element ("/>" when it has no content).
    XmlWriter& Close();
    // <name>text</name> in one call.
    XmlWriter& Leaf(const char* name, const std::string& utf8Text);

    size_t Depth() const { return open_.size(); }

private:
    void EndStartTag();

    std::string& out_;
    std::vector<const char*> open_;
    bool startTagOpen_ = false;
};

}  // namespace strome

#endif
