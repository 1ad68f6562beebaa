#include "xml_writer.h"

#include "xml_text.h"

namespace strome {

void XmlWriter::Declaration()
{
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
}

void XmlWriter::EndStartTag()
{
    if (startTagOpen_) {
        out_ += '>';
        startTagOpen_ = false;
    }
}

XmlWriter& XmlWriter::Open(const char* name)
{
    EndStartTag();
    out_ += '<';
    out_ += name;
    open_.push_back(name);
    startTagOpen_ = true;
    return *this;
}

XmlWriter& XmlWriter::Attr(const char* name, const char* utf8Value)
{
    if (!startTagOpen_)
        return *this;  // misuse: an attribute after content would break the document
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    AppendXmlEscapedUtf8(out_, utf8Value, std::char_traits<char>::length(utf8Value), XmlSlot::kAttribute);
    out_ += '"';
    return *this;
}

XmlWriter& XmlWriter::Attr(const char* name, int64_t value)
{
    return Attr(name, std::to_string(value).c_str());
}

XmlWriter& XmlWriter::Text(const char* utf8)
{
    EndStartTag();
    AppendXmlEscapedUtf8(out_, utf8, std::char_traits<char>::length(utf8), XmlSlot::kText);
    return *this;
}

XmlWriter& XmlWriter::Text(const char16_t* text, size_t length)
{
    EndStartTag();
    AppendXmlEscaped(out_, text, length, XmlSlot::kText);
    return *this;
}

XmlWriter& XmlWriter::Close()
{
    if (open_.empty())
        return *this;
    if (startTagOpen_) {
        out_ += "/>";
        startTagOpen_ = false;
    } else {
        out_ += "</";
        out_ += open_.back();
        out_ += '>';
    }
    open_.pop_back();
    return *this;
}

XmlWriter& XmlWriter::Leaf(const char* name, const std::string& utf8Text)
{
    Open(name);
    if (!utf8Text.empty())
        Text(utf8Text);
    return Close();
}

}  // namespace strome
