// A document writer that records the calls it gets, one line of text per call, so a test can
// compare what the layout wrote with the expected sequence.
#ifndef MORVANE_CONVERT_TESTS_FAKE_DOCX_H
#define MORVANE_CONVERT_TESTS_FAKE_DOCX_H

#include <string>
#include <vector>

#include "strome.h"

class FakeDocx : public qrn_IDocx {
public:
    std::vector<std::string> calls;
    bool refuseParagraphs = false;
    bool refusePictures = false;

    int GetParagraphCount() override { return paragraphs; }
    int Save() override { return Record("save"); }
    qrn_IDocxPara* AddParagraph(const stParaIndent* indent, const stParaSpacing* spacing,
                                const char* alignment) override
    {
        Record("para left=" + std::to_string(indent->nLeft) + " first=" + std::to_string(indent->nFirstLine) +
               " before=" + std::to_string(spacing->nBefore) + " align=" + (alignment ? alignment : "none"));
        if (refuseParagraphs)
            return nullptr;
        ++paragraphs;
        return &para;
    }
    int AddPageBreak() override { return Record("pagebreak"); }
    qrn_IDocxPic* AddPicture(const void* data, int size, int width, int height) override
    {
        Record("picture " + std::to_string(size) + " bytes " + std::to_string(width) + "x" + std::to_string(height));
        return refusePictures ? nullptr : &picture;
    }

private:
    class Para : public qrn_IDocxPara {
    public:
        explicit Para(FakeDocx* owner) : owner(owner) { }
        int Release() override { return owner->Record("end"); }
        int AddRef() override { return owner->Record("addref"); }
        int SetIndent(const stParaIndent*) override { return owner->Record("setindent"); }
        int SetSpacing(const stParaSpacing*) override { return owner->Record("setspacing"); }
        int AddText(const qrn_wchar* text, int length, const stRunProps* props) override
        {
            std::string narrow;
            for (int i = 0; i < length; ++i)
                narrow += text[i] < 128 ? (char)text[i] : '?';
            return owner->Record("text '" + narrow + "' font=" + props->szFontName +
                                 " size=" + std::to_string(props->nSize) + " color=" + std::to_string(props->nColor));
        }
        int AddBreak() override { return owner->Record("break"); }
        int AddObject(DOCX_OBJECT object) override
        {
            return owner->Record(std::string("object ") + (object == &owner->picture ? "ok" : "?"));
        }

    private:
        FakeDocx* owner;
    };

    class Pic : public qrn_IDocxPic {
    public:
        explicit Pic(FakeDocx* owner) : owner(owner) { }
        int Release() override { return owner->Record("picture release"); }
        DOCX_OBJECT CreateObject(int a, int b) override
        {
            owner->Record("create object " + std::to_string(a) + "," + std::to_string(b));
            return this;
        }
        int FreeObject(DOCX_OBJECT object) override
        {
            return owner->Record(std::string("free object ") + (object == this ? "ok" : "?"));
        }

    private:
        FakeDocx* owner;
    };

    int Record(const std::string& call)
    {
        calls.push_back(call);
        return 1;
    }

    int paragraphs = 0;
    Para para{this};
    Pic picture{this};
};

#endif
