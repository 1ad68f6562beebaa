// Builds sample documents through the writer's contract, the way the Word layout calls it,
// for the structure check and the LibreOffice round trip (tools/docx/):
//   strome_samples FOLDER            writes NAME.docx and NAME.expected.txt for each sample
//   strome_samples --pages N FILE    writes an N-page document (memory and speed measurements)
//   strome_samples --faithful-pages N FILE   the same with the later operations
// NAME.expected.txt holds the text a reader of the document gets: one line per paragraph,
// line breaks as line feeds. For the features sample, which has headers, footers, footnotes and
// columns that readers place each their own way, it holds texts a reader must show, one a line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "package_reader.h"
#include "writer_calls.h"

namespace {

std::string g_imageFolder;

std::string Image(const char* name)
{
    return ReadWholeFile(g_imageFolder + name);
}

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
           "The first line of a block flows on\n" +
           std::string(36, ' ') +
           "after an indented break\n"
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

// A document of the later operations, as a faithful layout writes one: a Letter page with a
// header with a logo, a footer with the page number, a centred heading, a justified paragraph with a
// footnote, two contents lines (title, dot-leader tab, page number), a ruled table with a
// repeated header row and merged cells, then two columns after a continuous section break;
// a landscape A4 page with an anchored cropped JPEG that text wraps around, and an inline PNG.
std::string BuildFeatures(qrn_IDocx* doc)
{
    stSectionProps letter = MakeSectionProps(12240, 15840, 1440);
    doc->BeginSection(&letter);
    stRunFormat plain = MakeRunFormat("Times New Roman", 22);
    stParagraphProps body = MakeParagraphProps(STROME_ALIGN_JUSTIFY);
    body.nAfter = 120;

    doc->BeginHeaderFooter(STROME_HEADER_DEFAULT);
    const stParagraphProps right = MakeParagraphProps(STROME_ALIGN_RIGHT);
    qrn_IDocxPara* p = doc->AddParagraphEx(&right);
    PlacePictureEx(doc, p, Image("red_blue.png"), MakePictureProps(480, 240));
    AddRunEx(p, QFromUtf8(" Morvane sample header"), plain);
    p->Release();
    doc->EndHeaderFooter();
    doc->BeginHeaderFooter(STROME_FOOTER_DEFAULT);
    const stParagraphProps centred = MakeParagraphProps(STROME_ALIGN_CENTER);
    p = doc->AddParagraphEx(&centred);
    AddRunEx(p, QFromUtf8("Page "), plain);
    QString one = QFromUtf8("1");
    p->AddField(STROME_FIELD_PAGE, one.data(), int(one.size()), &plain);
    p->Release();
    doc->EndHeaderFooter();

    stParagraphProps title = MakeParagraphProps(STROME_ALIGN_CENTER);
    title.nHeadingLevel = 1;
    title.nAfter = 240;
    title.nFlags = STROME_PARA_KEEP_NEXT;
    AddTextParagraph(doc, title, QFromUtf8("Annual Report"), MakeRunFormat("Arial", 36, STROME_RUN_BOLD, 0x00802000));

    p = doc->AddParagraphEx(&body);
    AddRunEx(p, QFromUtf8("Justified text runs in "), plain);
    AddRunEx(p, QFromUtf8("italic"), MakeRunFormat("Times New Roman", 22, STROME_RUN_ITALIC));
    AddRunEx(p, QFromUtf8(", "), plain);
    stRunFormat underlined = plain;
    underlined.nUnderline = STROME_UNDERLINE_SINGLE;
    AddRunEx(p, QFromUtf8("underlined"), underlined);
    AddRunEx(p, QFromUtf8(", "), plain);
    AddRunEx(p, QFromUtf8("struck"), MakeRunFormat("Times New Roman", 22, STROME_RUN_STRIKE));
    AddRunEx(p, QFromUtf8(" and "), plain);
    AddRunEx(p, QFromUtf8("red"), MakeRunFormat("Times New Roman", 22, 0, 0x000000FF));
    AddRunEx(p, QFromUtf8(", with E = mc"), plain);
    stRunFormat super = plain;
    super.nVertAlign = STROME_VERTALIGN_SUPERSCRIPT;
    AddRunEx(p, QFromUtf8("2"), super);
    AddRunEx(p, QFromUtf8(" and H"), plain);
    stRunFormat sub = plain;
    sub.nVertAlign = STROME_VERTALIGN_SUBSCRIPT;
    AddRunEx(p, QFromUtf8("2"), sub);
    AddRunEx(p, QFromUtf8("O, widely spaced"), plain);
    stRunFormat spaced = plain;
    spaced.nCharSpacing = 40;
    AddRunEx(p, QFromUtf8(" letters"), spaced);
    AddRunEx(p, QFromUtf8(", and a note."), plain);
    int note = p->AddFootnoteReference(nullptr);
    p->Release();
    doc->BeginFootnote(note);
    AddTextParagraph(doc, MakeParagraphProps(), QFromUtf8("The footnote of the sample."),
                     MakeRunFormat("Times New Roman", 18));
    doc->EndFootnote();

    stParagraphProps contents = MakeParagraphProps();
    contents.nTabCount = 1;
    contents.tabs[0].nPos = 12240 - 2 * 1440;
    contents.tabs[0].nKind = STROME_TAB_RIGHT;
    contents.tabs[0].nLeader = STROME_LEADER_DOT;
    AddTextParagraph(doc, contents, QFromUtf8("Introduction\t1"), plain);
    AddTextParagraph(doc, contents, QFromUtf8("Results by region\t2"), plain);

    const int32_t grid[3] = {3000, 2000, 2000};
    stTableProps table = MakeTableProps();
    table.nFlags = STROME_TABLE_FIXED_LAYOUT;
    for (int e = 0; e < 6; ++e)
        table.borders[e] = MakeBorder(STROME_BORDER_SINGLE, 4, 0);
    doc->BeginTable(&table, grid, 3);
    const char* rows[4][3] = {
        {"Region", "Q1", "Q2"}, {"East", "1,250", "1,380"}, {nullptr, "980", "1,010"}, {"Total", "3,620", nullptr}};
    for (int r = 0; r < 4; ++r) {
        stRowProps row = MakeRowProps(360, STROME_HEIGHT_AT_LEAST, r == 0 ? STROME_ROW_HEADER : 0);
        doc->BeginRow(&row);
        for (int c = 0; c < 3; ++c) {
            if (r == 3 && c == 2)
                break;  // "3,620" spans two columns
            stCellProps cell = MakeCellProps(r == 3 && c == 1 ? 2 : 1, c == 0 && r == 1   ? STROME_VMERGE_RESTART
                                                                       : c == 0 && r == 2 ? STROME_VMERGE_CONTINUE
                                                                                          : STROME_VMERGE_NONE);
            cell.nVAlign = STROME_VALIGN_CENTER;
            if (r == 0) {
                cell.nFlags = STROME_CELL_SHADED;
                cell.nShading = 0x00E0E0E0;
            }
            doc->BeginCell(&cell);
            if (rows[r][c])
                AddTextParagraph(doc, MakeParagraphProps(c == 0 ? STROME_ALIGN_LEFT : STROME_ALIGN_RIGHT),
                                 QFromUtf8(rows[r][c]), MakeRunFormat("Arial", 20, r == 0 ? STROME_RUN_BOLD : 0));
            doc->EndCell();
        }
        doc->EndRow();
    }
    doc->EndTable();

    stSectionProps twoColumns = MakeSectionProps(12240, 15840, 1440, 2, STROME_SECTION_CONTINUOUS);
    doc->BeginSection(&twoColumns);
    AddTextParagraph(doc, body, QFromUtf8("The left column holds this paragraph."), plain);
    p = doc->AddParagraphEx(&body);
    p->AddColumnBreak();
    AddRunEx(p, QFromUtf8("The right column holds this one."), plain);
    p->Release();

    stSectionProps landscape = MakeSectionProps(16838, 11906, 1134);
    doc->BeginSection(&landscape);
    p = doc->AddParagraphEx(&body);
    stPictureProps anchored = MakePictureProps(2880, 1440);
    anchored.nPlacement = STROME_PLACE_ANCHOR;
    anchored.nHorzFrom = STROME_FROM_MARGIN;
    anchored.nVertFrom = STROME_FROM_PARAGRAPH;
    anchored.nWrap = STROME_WRAP_SQUARE;
    anchored.nDistance = 120;
    anchored.nCrop[0] = 10000;
    anchored.nCrop[2] = 10000;
    PlacePictureEx(doc, p, Image("plasma.jpg"), anchored);
    AddRunEx(p, QFromUtf8("Landscape page: this text flows beside an anchored, cropped picture."), plain);
    p->Release();
    p = doc->AddParagraphEx(&body);
    PlacePictureEx(doc, p, Image("red_blue.png"), MakePictureProps(960, 480));
    AddRunEx(p, QFromUtf8(" An inline picture stands in its line."), plain);
    p->Release();
    return "page\tMorvane sample header\npage\tPage 1\npage\tPage 2\n"
           "body\tAnnual Report\nbody\tJustified text runs in italic, underlined,\n"
           "note\tThe footnote of the sample.\nbody\tIntroduction\nbody\tResults by region\n"
           "body\tRegion\nbody\tQ1\nbody\tEast\nbody\t1,250\nbody\t980\nbody\tTotal\nbody\t3,620\n"
           "body\tThe left column holds this paragraph.\nbody\tThe right column holds this one.\n"
           "body\tLandscape page: this text flows beside an anchored, cropped picture.\n"
           "body\tAn inline picture stands in its line.\n";
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
                AddRun(p,
                       QFromUtf8("Line " + std::to_string(line) + " of block " + std::to_string(block) + " on page " +
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

// A long document of the later operations: a section per page (Letter, every fifth page
// landscape), a header and a footer with the page number every tenth page, a heading,
// justified paragraphs of exact line spacing with a footnote, a ruled table with merged cells
// and an anchored picture on every page.
bool BuildFaithfulLong(const std::string& path, int pages)
{
    qrn_IDocx* doc = CreateDocument(path);
    if (!doc)
        return false;
    const std::string logo = Image("plasma.jpg");
    const stRunFormat plain = MakeRunFormat("Times New Roman", 21);
    stParagraphProps body = MakeParagraphProps(STROME_ALIGN_JUSTIFY);
    body.nLine = 260;
    body.nLineRule = STROME_LINE_EXACT;
    body.nAfter = 120;
    stParagraphProps heading = MakeParagraphProps(STROME_ALIGN_CENTER);
    heading.nHeadingLevel = 1;
    heading.nFlags = STROME_PARA_KEEP_NEXT;
    for (int page = 1; page <= pages; ++page) {
        const bool landscape = page % 5 == 0;
        stSectionProps section =
            landscape ? MakeSectionProps(15840, 12240, 1080) : MakeSectionProps(12240, 15840, 1080);
        doc->BeginSection(&section);
        if (page % 10 == 1) {
            doc->BeginHeaderFooter(STROME_HEADER_DEFAULT);
            AddTextParagraph(doc, MakeParagraphProps(STROME_ALIGN_RIGHT),
                             QFromUtf8("Report, part " + std::to_string(page / 10 + 1)), plain);
            doc->EndHeaderFooter();
            doc->BeginHeaderFooter(STROME_FOOTER_DEFAULT);
            qrn_IDocxPara* f = doc->AddParagraphEx(nullptr);
            QString one = QFromUtf8("1");
            f->AddField(STROME_FIELD_PAGE, one.data(), 1, &plain);
            f->Release();
            doc->EndHeaderFooter();
        }
        AddTextParagraph(doc, heading, QFromUtf8("Chapter " + std::to_string(page)),
                         MakeRunFormat("Arial", 32, STROME_RUN_BOLD));
        qrn_IDocxPara* p = doc->AddParagraphEx(&body);
        stPictureProps anchored = MakePictureProps(1440, 720);
        anchored.nPlacement = STROME_PLACE_ANCHOR;
        anchored.nHorzFrom = STROME_FROM_MARGIN;
        anchored.nVertFrom = STROME_FROM_PARAGRAPH;
        PlacePictureEx(doc, p, logo, anchored);
        for (int line = 0; line < 6; ++line)
            AddRunEx(p,
                     QFromUtf8("Line " + std::to_string(line) + " on page " + std::to_string(page) +
                               ": the quick brown fox jumps over the lazy dog. "),
                     plain);
        int note = p->AddFootnoteReference(nullptr);
        p->Release();
        doc->BeginFootnote(note);
        AddTextParagraph(doc, MakeParagraphProps(), QFromUtf8("Note of page " + std::to_string(page)), plain);
        doc->EndFootnote();
        const int32_t grid[4] = {2400, 1800, 1800, 1800};
        stTableProps table = MakeTableProps();
        for (int e = 0; e < 6; ++e)
            table.borders[e] = MakeBorder(STROME_BORDER_SINGLE);
        doc->BeginTable(&table, grid, 4);
        for (int r = 0; r < 6; ++r) {
            stRowProps row = MakeRowProps(300, STROME_HEIGHT_AT_LEAST, r == 0 ? STROME_ROW_HEADER : 0);
            doc->BeginRow(&row);
            for (int c = 0; c < 4; ++c) {
                stCellProps cell = MakeCellProps(
                    1, c == 0 && r > 0 ? (r % 2 ? STROME_VMERGE_RESTART : STROME_VMERGE_CONTINUE) : STROME_VMERGE_NONE);
                doc->BeginCell(&cell);
                if (!(c == 0 && r > 0 && r % 2 == 0))
                    AddTextParagraph(doc, MakeParagraphProps(STROME_ALIGN_RIGHT),
                                     QFromUtf8(std::to_string(r * 100 + c)), plain);
                doc->EndCell();
            }
            doc->EndRow();
        }
        doc->EndTable();
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
    } else if (argc == 4 && std::strcmp(argv[1], "--faithful-pages") == 0) {
        rc = BuildFaithfulLong(argv[3], std::atoi(argv[2])) ? 0 : 1;
    } else if (argc == 2) {
        const std::string folder = std::string(argv[1]) + "/";
        const struct {
            const char* name;
            std::string (*build)(qrn_IDocx*);
        } samples[] = {
            {"layout", BuildLayout}, {"pictures", BuildPictures}, {"pages", BuildPages}, {"features", BuildFeatures}};
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
        std::fprintf(stderr, "usage: strome_samples FOLDER | strome_samples --pages|--faithful-pages N FILE.docx\n"
                             "(MORVANE_SRC: the source tree, for the sample pictures)\n");
        rc = 2;
    }
    Docx_Fini();
    return rc;
}
