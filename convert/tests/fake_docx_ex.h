// A document writer with the later operations (sections, formatted paragraphs, tables, running
// heads, fields, placed pictures) that records each call as a line of text, for the faithful
// layout's tests.
#ifndef MORVANE_CONVERT_TESTS_FAKE_DOCX_EX_H
#define MORVANE_CONVERT_TESTS_FAKE_DOCX_EX_H

#include <string>
#include <vector>

#include "strome.h"

class FakeDocxEx : public qrn_IDocx {
public:
    std::vector<std::string> calls;
    std::vector<stSectionProps> sections;
    std::vector<stParagraphProps> paragraphs;  // of AddParagraphEx, in order
    std::vector<stRunFormat> runs;  // of AddTextEx, in order
    std::vector<stPictureProps> pictures;
    std::vector<std::vector<int32_t>> grids;
    std::vector<stCellProps> cells;
    std::vector<stRowProps> rows;

    // All text written so far, a line per paragraph; tabs as \t, line breaks as \n, fields as {PAGE}.
    std::string Text() const { return text; }

    int GetParagraphCount() override { return (int)paragraphs.size(); }
    int Save() override { return Record("save"); }
    qrn_IDocxPara* AddParagraph(const stParaIndent*, const stParaSpacing*, const char*) override
    {
        Record("classic paragraph");
        text += "\n";
        return &para;
    }
    int AddPageBreak() override { return Record("pagebreak"); }
    qrn_IDocxPic* AddPicture(const void*, int size, int width, int height) override
    {
        Record("picture " + std::to_string(size) + " " + std::to_string(width) + "x" + std::to_string(height));
        return &picture;
    }
    int BeginSection(const stSectionProps* p) override
    {
        sections.push_back(*p);
        return Record("section " + std::to_string(p->nBreak) + " cols=" + std::to_string(p->nColumns));
    }
    qrn_IDocxPara* AddParagraphEx(const stParagraphProps* p) override
    {
        paragraphs.push_back(*p);
        Record("para");
        text += "\n";
        return &para;
    }
    int BeginTable(const stTableProps*, const int32_t* widths, int count) override
    {
        grids.emplace_back(widths, widths + count);
        text += "\n[table]";
        return Record("table " + std::to_string(count));
    }
    int BeginRow(const stRowProps* p) override
    {
        rows.push_back(*p);
        text += "\n[row]";
        return Record("row");
    }
    int BeginCell(const stCellProps* p) override
    {
        cells.push_back(*p);
        text += "|";
        return Record("cell span=" + std::to_string(p->nGridSpan) + " vmerge=" + std::to_string(p->nVMerge));
    }
    int EndCell() override { return Record("endcell"); }
    int EndRow() override { return Record("endrow"); }
    int EndTable() override { return Record("endtable"); }
    int BeginHeaderFooter(int kind) override
    {
        text += "\n[head " + std::to_string(kind) + "]";
        return Record("head " + std::to_string(kind));
    }
    int EndHeaderFooter() override
    {
        text += "\n[/head]";
        return Record("endhead");
    }

private:
    class Para : public qrn_IDocxPara {
    public:
        explicit Para(FakeDocxEx* owner) : owner(owner) { }
        int Release() override { return owner->Record("end"); }
        int AddRef() override { return 1; }
        int SetIndent(const stParaIndent*) override { return 1; }
        int SetSpacing(const stParaSpacing*) override { return 1; }
        int AddText(const qrn_wchar* t, int length, const stRunProps*) override
        {
            Add(t, length);
            return owner->Record("classic text");
        }
        int AddBreak() override { return owner->Record("break"); }
        int AddObject(DOCX_OBJECT) override { return owner->Record("object"); }
        int AddTextEx(const qrn_wchar* t, int length, const stRunFormat* f) override
        {
            owner->runs.push_back(*f);
            Add(t, length);
            return owner->Record("text");
        }
        int AddField(int kind, const qrn_wchar*, int, const stRunFormat*) override
        {
            owner->text += kind == STROME_FIELD_PAGE ? "{PAGE}" : "{FIELD}";
            return owner->Record("field");
        }
        int AddObjectEx(DOCX_OBJECT, const stPictureProps* p) override
        {
            owner->pictures.push_back(*p);
            owner->text += "[picture]";
            return owner->Record("objectex " + std::to_string(p->nPlacement));
        }
        int AddColumnBreak() override
        {
            owner->text += "[column]";
            return owner->Record("columnbreak");
        }
        int SetMarkFormat(const stRunFormat*) override { return 1; }

    private:
        void Add(const qrn_wchar* t, int length)
        {
            for (int i = 0; i < length; ++i)
                owner->text += t[i] < 128 ? (char)t[i] : '?';
        }
        FakeDocxEx* owner;
    };

    class Pic : public qrn_IDocxPic {
    public:
        int Release() override { return 1; }
        DOCX_OBJECT CreateObject(int, int) override { return this; }
        int FreeObject(DOCX_OBJECT) override { return 1; }
    };

    int Record(const std::string& call)
    {
        calls.push_back(call);
        return 1;
    }

    std::string text;
    Para para{this};
    Pic picture;
};

#endif
