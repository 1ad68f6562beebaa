// Test helpers that drive the writer through its contract the way the Word layout does.
#ifndef MORVANE_STROME_TESTS_WRITER_CALLS_H
#define MORVANE_STROME_TESTS_WRITER_CALLS_H

#include <string>

#include "strome.h"

#ifdef _WIN32
#define QT(s) L##s
#else
#define QT(s) u##s
#endif
typedef std::basic_string<qrn_wchar> QString;

QString QFromUtf8(const std::string& utf8);

stRunProps RunProps(const char* fontName, int size, int color = 0);
// AddText with the text's own length.
int AddRun(qrn_IDocxPara* para, const QString& text, const char* fontName = "", int size = 0);
// A paragraph with the records the Word layout fills.
qrn_IDocxPara* AddLayoutParagraph(qrn_IDocx* doc, int left, int firstLine, int before, const char* alignment);
// AddPicture, CreateObject(0, 0), AddObject, FreeObject, Release, in this order.
// Returns AddObject's result.
int PlacePicture(qrn_IDocx* doc, qrn_IDocxPara* para, const std::string& bytes, int width, int height);

// Records of the later operations, zeroed with their size set, and the fields most calls give.
stParagraphProps MakeParagraphProps(int alignment = STROME_ALIGN_DEFAULT);
stRunFormat MakeRunFormat(const char* font = "", int size = 0, int flags = 0, int color = STROME_COLOR_AUTO);
stSectionProps MakeSectionProps(int width, int height, int margin, int columns = 1,
                                int start = STROME_SECTION_NEXT_PAGE);
stTableProps MakeTableProps();
stRowProps MakeRowProps(int height = 0, int rule = STROME_HEIGHT_AUTO, int flags = 0);
stCellProps MakeCellProps(int gridSpan = 1, int vMerge = STROME_VMERGE_NONE);
stPictureProps MakePictureProps(int width, int height);
stBorder MakeBorder(int style, int width = 4, int color = 0);
// AddTextEx with the text's own length.
int AddRunEx(qrn_IDocxPara* para, const QString& text, const stRunFormat& format);
// A paragraph of one run of text in the given format, released.
int AddTextParagraph(qrn_IDocx* doc, const stParagraphProps& props, const QString& text, const stRunFormat& format);
// AddPicture, CreateObject, AddObjectEx, FreeObject, Release; returns AddObjectEx's result.
int PlacePictureEx(qrn_IDocx* doc, qrn_IDocxPara* para, const std::string& bytes, const stPictureProps& props);

// Docx_Create for a UTF-8 path; null on failure.
qrn_IDocx* CreateDocument(const std::string& path);
// Save, then Docx_Delete; returns Save's result.
int SaveAndDelete(qrn_IDocx* doc);

// The body of word/document.xml between <w:body> and <w:sectPr>.
std::string BodyOf(const std::string& documentXml);

// Minimal well-formedness check of XML text: balanced, properly nested elements, quoted
// attributes, no raw '<' or stray '&' in text. Returns an empty string or the first problem.
std::string XmlProblem(const std::string& xml);

#endif
