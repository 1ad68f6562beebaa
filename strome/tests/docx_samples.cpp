// Builds sample documents through the writer's contract, the way the Word layout calls it,
// for the structure check and the LibreOffice round trip (tools/docx/):
//   strome_samples FOLDER            writes NAME.docx and NAME.expected.txt for each sample
//   strome_samples --pages N FILE    writes an N-page document (memory and speed measurements)
// NAME.expected.txt holds the text a reader of the document gets: one line per paragraph,
// line breaks as line feeds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "package_reader.h"
#include "writer_calls.h"

namespace {

std::string g_imageFolder;

std::string Image(const char* name) { return ReadWholeFile(g_imageFolder + name); }

bool WriteText(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// A page as the Word layout writes it: a heading, a block with a kept line break and the
// indent runs of two spaces, a contents line, Chinese text with and without a font name,
// and text that needs escaping.
std::string BuildLayout(qrn_IDocx* doc)
{
    qrn_IDocxPara* p = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(p, QFromUtf8("Quarterly Report"), "ABCDEF+Arial-BoldMT", 32);
    p->Release();
    p = AddLayoutParagraph(doc, 780, 0, 360, "left");
    AddRun(p, QFromUtf8("The first line of a block "), "TimesNewRomanPSMT", 21);
    AddRun(p, QFromUtf8("flows on"), "TimesNewRomanPSMT", 21);
    p->AddBreak();
    for (int i = 0; i < 18; ++i)
        AddRun(p, QFromUtf8("  "), "", 12);
    AddRun(p, QFromUtf8("after an indented break"), "TimesNewRomanPSMT", 21);
    p->Release();
    p = AddLayoutParagraph(doc, 0, 0, 120, "left");
    AddRun(p, QFromUtf8("Introduction........ 12"), "TimesNewRomanPSMT", 21);
    p->AddBreak();
    AddRun(p, QFromUtf8("Results.......... 345"), "TimesNewRomanPSMT", 21);
    p->Release();
    p = AddLayoutParagraph(doc, 0, 460, 240, nullptr);
    AddRun(p, QFromUtf8("中文段落使用宋体，"), "SimSun", 24);
    AddRun(p, QFromUtf8("这一段没有字体名。"), "", 24);
    AddRun(p, QFromUtf8("黑体"), "\xBA\xDA\xCC\xE5", 24);
    p->Release();
    p = AddLayoutParagraph(doc, 0, 0, 120, nullptr);
    QString tricky = QFromUtf8("a < b & c > d \"quoted\" 'single' \x01\x02 clef \xF0\x9D\x84\x9E end ");
    tricky.insert(tricky.begin() + 2, qrn_wchar(0xD800));  // a lone surrogate is dropped
    stRunProps props = RunProps("Courier", 20);
    p->AddText(tricky.data(), int(tricky.size()), &props);
    p->Release();
    return "Quarterly Report\n"
           "The first line of a block flows on\n" + std::string(36, ' ') + "after an indented break\n"
           "Introduction........ 12\nResults.......... 345\n"
           "中文段落使用宋体，这一段没有字体名。黑体\n"
           "a < b & c > d \"quoted\" 'single'  clef \xF0\x9D\x84\x9E end \n";
}

std::string BuildPictures(qrn_IDocx* doc)
{
    qrn_IDocxPara* p = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(p, QFromUtf8("A PNG:"), "Arial", 22);
    PlacePicture(doc, p, Image("red_blue.png"), 96, 48);
    p->Release();
    p = AddLayoutParagraph(doc, 0, 0, 240, nullptr);
    AddRun(p, QFromUtf8("A JPEG:"), "Arial", 22);
    PlacePicture(doc, p, Image("plasma.jpg"), 144, 72);
    AddRun(p, QFromUtf8(" and bytes that are no picture:"), "Arial", 22);
    PlacePicture(doc, p, "not an image", 50, 50);
    p->Release();
    return "A PNG:\nA JPEG: and bytes that are no picture:\n";
}

std::string BuildPages(qrn_IDocx* doc)
{
    const char* texts[] = {"Page one", nullptr, "Page three"};
    std::string expected;
    for (int page = 0; page < 3; ++page) {
        if (texts[page]) {
            qrn_IDocxPara* p = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
            AddRun(p, QFromUtf8(texts[page]), "TimesNewRomanPSMT", 24);
            p->Release();
        }
        expected += texts[page] ? std::string(texts[page]) + "\n" : "\n";  // a blank page is an empty paragraph
        if (page < 2)
            doc->AddPageBreak();
    }
    return expected;
}

// A long document: forty lines of text per page and the same picture on every page.
bool BuildLong(const std::string& path, int pages)
{
    qrn_IDocx* doc = CreateDocument(path);
    if (!doc)
        return false;
    const std::string logo = Image("plasma.jpg");
    for (int page = 1; page <= pages; ++page) {
        qrn_IDocxPara* p = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
        PlacePicture(doc, p, logo, 48, 24);
        AddRun(p, QFromUtf8("Page " + std::to_string(page)), "Arial-BoldMT", 28);
        p->Release();
        for (int block = 0; block < 8; ++block) {
            p = AddLayoutParagraph(doc, block % 3 ? 0 : 780, block % 2 ? 0 : 460, 144, block % 2 ? "left" : nullptr);
            for (int line = 0; line < 5; ++line) {
                AddRun(p, QFromUtf8("Line " + std::to_string(line) + " of block " + std::to_string(block) + " on page " +
                                    std::to_string(page) + ": the quick brown fox jumps over the lazy dog. "),
                       "TimesNewRomanPSMT", 21);
                if (line % 2)
                    p->AddBreak();
            }
            p->Release();
        }
        if (page < pages)
            doc->AddPageBreak();
    }
    return SaveAndDelete(doc) != 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string source = std::getenv("MORVANE_SRC") ? std::getenv("MORVANE_SRC") : "";
    g_imageFolder = (source.empty() ? std::string(".") : source) + "/strome/tests/data/";
    Docx_Init();
    int rc = 0;
    if (argc == 4 && std::strcmp(argv[1], "--pages") == 0) {
        rc = BuildLong(argv[3], std::atoi(argv[2])) ? 0 : 1;
    } else if (argc == 2) {
        const std::string folder = std::string(argv[1]) + "/";
        const struct {
            const char* name;
            std::string (*build)(qrn_IDocx*);
        } samples[] = {{"layout", BuildLayout}, {"pictures", BuildPictures}, {"pages", BuildPages}};
        for (const auto& sample : samples) {
            qrn_IDocx* doc = CreateDocument(folder + sample.name + ".docx");
            if (!doc) {
                std::fprintf(stderr, "cannot create %s\n", sample.name);
                rc = 1;
                continue;
            }
            std::string expected = sample.build(doc);
            if (!SaveAndDelete(doc) || !WriteText(folder + sample.name + ".expected.txt", expected)) {
                std::fprintf(stderr, "cannot save %s\n", sample.name);
                rc = 1;
            }
        }
    } else {
        std::fprintf(stderr, "usage: strome_samples FOLDER | strome_samples --pages N FILE.docx\n"
                             "(MORVANE_SRC: the source tree, for the sample pictures)\n");
        rc = 2;
    }
    Docx_Fini();
    return rc;
}
