#include "writer_calls.h"

#include <cctype>
#include <cstring>
#include <vector>

QString QFromUtf8(const std::string& s)
{
    QString out;
    for (size_t i = 0; i < s.size();) {
        unsigned char b = s[i];
        uint32_t c;
        int n;
        if (b < 0x80) {
            c = b;
            n = 1;
        } else if (b < 0xE0) {
            c = b & 0x1F;
            n = 2;
        } else if (b < 0xF0) {
            c = b & 0x0F;
            n = 3;
        } else {
            c = b & 0x07;
            n = 4;
        }
        for (int k = 1; k < n && i + k < s.size(); ++k)
            c = (c << 6) | (s[i + k] & 0x3F);
        i += n;
        if (c >= 0x10000) {
            out += qrn_wchar(0xD800 + ((c - 0x10000) >> 10));
            out += qrn_wchar(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += qrn_wchar(c);
        }
    }
    return out;
}

stRunProps RunProps(const char* fontName, int size, int color)
{
    stRunProps props;
    std::memset(&props, 0, sizeof props);
    std::strncpy(props.szFontName, fontName, sizeof props.szFontName - 1);
    props.nSize = size;
    props.nColor = color;
    return props;
}

int AddRun(qrn_IDocxPara* para, const QString& text, const char* fontName, int size)
{
    stRunProps props = RunProps(fontName, size);
    return para->AddText(text.data(), int(text.size()), &props);
}

qrn_IDocxPara* AddLayoutParagraph(qrn_IDocx* doc, int left, int firstLine, int before, const char* alignment)
{
    stParaIndent indent = {left, firstLine, 0};
    stParaSpacing spacing;
    std::memset(&spacing, 0, sizeof spacing);
    spacing.nBefore = before;
    return doc->AddParagraph(&indent, &spacing, alignment);
}

int PlacePicture(qrn_IDocx* doc, qrn_IDocxPara* para, const std::string& bytes, int width, int height)
{
    qrn_IDocxPic* pic = doc->AddPicture(bytes.data(), int(bytes.size()), width, height);
    if (!pic)
        return -1;
    DOCX_OBJECT object = pic->CreateObject(0, 0);
    int placed = para->AddObject(object);
    pic->FreeObject(object);
    pic->Release();
    return placed;
}

template <class Record> Record Zeroed()
{
    Record r;
    std::memset(&r, 0, sizeof r);
    r.cbSize = sizeof r;
    return r;
}

stParagraphProps MakeParagraphProps(int alignment)
{
    stParagraphProps p = Zeroed<stParagraphProps>();
    p.nAlignment = alignment;
    return p;
}

stRunFormat MakeRunFormat(const char* font, int size, int flags, int color)
{
    stRunFormat f = Zeroed<stRunFormat>();
    std::strncpy(f.szFont, font, sizeof f.szFont - 1);
    f.nSize = size;
    f.nFlags = flags;
    f.nColor = color;
    return f;
}

stSectionProps MakeSectionProps(int width, int height, int margin, int columns, int start)
{
    stSectionProps s = Zeroed<stSectionProps>();
    s.nPageWidth = width;
    s.nPageHeight = height;
    s.nMarginTop = s.nMarginRight = s.nMarginBottom = s.nMarginLeft = margin;
    s.nColumns = columns;
    s.nColumnSpace = 425;
    s.nBreak = start;
    return s;
}

stTableProps MakeTableProps()
{
    return Zeroed<stTableProps>();
}

stRowProps MakeRowProps(int height, int rule, int flags)
{
    stRowProps r = Zeroed<stRowProps>();
    r.nHeight = height;
    r.nHeightRule = rule;
    r.nFlags = flags;
    return r;
}

stCellProps MakeCellProps(int gridSpan, int vMerge)
{
    stCellProps c = Zeroed<stCellProps>();
    c.nGridSpan = gridSpan;
    c.nVMerge = vMerge;
    return c;
}

stPictureProps MakePictureProps(int width, int height)
{
    stPictureProps p = Zeroed<stPictureProps>();
    p.nWidth = width;
    p.nHeight = height;
    return p;
}

stBorder MakeBorder(int style, int width, int color)
{
    stBorder b = {style, width, color};
    return b;
}

int AddRunEx(qrn_IDocxPara* para, const QString& text, const stRunFormat& format)
{
    return para->AddTextEx(text.data(), int(text.size()), &format);
}

int AddTextParagraph(qrn_IDocx* doc, const stParagraphProps& props, const QString& text, const stRunFormat& format)
{
    qrn_IDocxPara* para = doc->AddParagraphEx(&props);
    if (!para)
        return 0;
    int ok = AddRunEx(para, text, format);
    para->Release();
    return ok;
}

int PlacePictureEx(qrn_IDocx* doc, qrn_IDocxPara* para, const std::string& bytes, const stPictureProps& props)
{
    qrn_IDocxPic* pic = doc->AddPicture(bytes.data(), int(bytes.size()), 0, 0);
    if (!pic)
        return -1;
    DOCX_OBJECT object = pic->CreateObject(0, 0);
    int placed = para->AddObjectEx(object, &props);
    pic->FreeObject(object);
    pic->Release();
    return placed;
}

qrn_IDocx* CreateDocument(const std::string& path)
{
    QString wide = QFromUtf8(path);
    qrn_IDocx* doc = nullptr;
    return Docx_Create(&doc, wide.c_str()) ? doc : nullptr;
}

int SaveAndDelete(qrn_IDocx* doc)
{
    int saved = doc->Save();
    Docx_Delete(doc);
    return saved;
}

std::string BodyOf(const std::string& xml)
{
    size_t begin = xml.find("<w:body>");
    size_t end = xml.find("<w:sectPr>");
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        return std::string();
    return xml.substr(begin + 8, end - begin - 8);
}

namespace {
bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '_' || c == '-' || c == '.' || (c & 0x80);
}

bool EntityAt(const std::string& s, size_t at)
{
    static const char* const kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    for (const char* e : kEntities)
        if (s.compare(at, std::strlen(e), e) == 0)
            return true;
    if (s.compare(at, 2, "&#") == 0) {
        size_t semi = s.find(';', at);
        return semi != std::string::npos && semi - at <= 10;
    }
    return false;
}
}  // namespace

std::string XmlProblem(const std::string& s)
{
    for (size_t k = 0; k < s.size(); ++k)
        if (static_cast<unsigned char>(s[k]) < 0x20 && s[k] != '\t' && s[k] != '\n' && s[k] != '\r')
            return "control character at " + std::to_string(k);
    std::vector<std::string> open;
    size_t i = 0;
    if (s.compare(0, 5, "<?xml") == 0)
        i = s.find("?>") + 2;
    bool rootSeen = false;
    while (i < s.size()) {
        if (s[i] == '&') {
            if (!EntityAt(s, i))
                return "stray & at " + std::to_string(i);
            ++i;
            continue;
        }
        if (s[i] == '>')
            return "raw > outside a tag is legal but unexpected at " + std::to_string(i);
        if (s[i] != '<') {
            if (open.empty() && !std::isspace(static_cast<unsigned char>(s[i])))
                return "text outside the root at " + std::to_string(i);
            ++i;
            continue;
        }
        bool closing = s.compare(i, 2, "</") == 0;
        size_t j = i + (closing ? 2 : 1);
        size_t nameStart = j;
        while (j < s.size() && IsNameChar(s[j]))
            ++j;
        std::string name = s.substr(nameStart, j - nameStart);
        if (name.empty())
            return "empty tag name at " + std::to_string(i);
        if (closing) {
            if (open.empty() || open.back() != name)
                return "mismatched </" + name + "> at " + std::to_string(i);
            open.pop_back();
            if (j >= s.size() || s[j] != '>')
                return "bad end tag at " + std::to_string(i);
            i = j + 1;
            continue;
        }
        if (open.empty() && rootSeen)
            return "second root element at " + std::to_string(i);
        rootSeen = true;
        // attributes
        for (;;) {
            while (j < s.size() && std::isspace(static_cast<unsigned char>(s[j])))
                ++j;
            if (j >= s.size())
                return "unterminated tag " + name;
            if (s[j] == '>' || s.compare(j, 2, "/>") == 0)
                break;
            size_t a = j;
            while (j < s.size() && IsNameChar(s[j]))
                ++j;
            if (j == a || j + 1 >= s.size() || s[j] != '=' || s[j + 1] != '"')
                return "bad attribute in " + name;
            size_t close = s.find('"', j + 2);
            if (close == std::string::npos)
                return "unterminated attribute in " + name;
            for (size_t k = j + 2; k < close; ++k) {
                if (s[k] == '<')
                    return "< in attribute of " + name;
                if (s[k] == '&' && !EntityAt(s, k))
                    return "stray & in attribute of " + name;
            }
            j = close + 1;
        }
        if (s[j] == '>') {
            open.push_back(name);
            i = j + 1;
        } else {
            i = j + 2;
        }
    }
    if (!open.empty())
        return "unclosed <" + open.back() + ">";
    return rootSeen ? std::string() : "no root element";
}
