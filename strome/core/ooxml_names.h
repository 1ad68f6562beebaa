// Namespace, relationship-type and content-type names of ECMA-376 (transitional) used by
// the package parts.
#ifndef MORVANE_STROME_CORE_OOXML_NAMES_H
#define MORVANE_STROME_CORE_OOXML_NAMES_H

namespace strome {
namespace ns {
constexpr const char* kContentTypes = "http://schemas.openxmlformats.org/package/2006/content-types";
constexpr const char* kPackageRels = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kWordMain = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kOfficeRels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kWordDrawing = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
constexpr const char* kDrawingMain = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr const char* kPicture = "http://schemas.openxmlformats.org/drawingml/2006/picture";
constexpr const char* kCoreProps = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
constexpr const char* kExtendedProps = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
constexpr const char* kDocPropsVTypes = "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
constexpr const char* kDublinCore = "http://purl.org/dc/elements/1.1/";
constexpr const char* kDcTerms = "http://purl.org/dc/terms/";
constexpr const char* kDcmiType = "http://purl.org/dc/dcmitype/";
constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";
}  // namespace ns

namespace reltype {
constexpr const char* kOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
constexpr const char* kCoreProps =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
constexpr const char* kExtendedProps =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
constexpr const char* kStyles = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr const char* kSettings = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
constexpr const char* kFontTable = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/fontTable";
constexpr const char* kImage = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
constexpr const char* kHeader = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/header";
constexpr const char* kFooter = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer";
constexpr const char* kFootnotes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footnotes";
}  // namespace reltype

namespace ctype {
constexpr const char* kRelationships = "application/vnd.openxmlformats-package.relationships+xml";
constexpr const char* kXml = "application/xml";
constexpr const char* kDocument = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
constexpr const char* kStyles = "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
constexpr const char* kSettings = "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";
constexpr const char* kFontTable = "application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml";
constexpr const char* kHeader = "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml";
constexpr const char* kFooter = "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml";
constexpr const char* kFootnotes = "application/vnd.openxmlformats-officedocument.wordprocessingml.footnotes+xml";
constexpr const char* kCoreProps = "application/vnd.openxmlformats-package.core-properties+xml";
constexpr const char* kExtendedProps = "application/vnd.openxmlformats-officedocument.extended-properties+xml";
constexpr const char* kPng = "image/png";
constexpr const char* kJpeg = "image/jpeg";
}  // namespace ctype
}  // namespace strome

#endif
