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
