#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "halvane/layout/hyphenation.h"

namespace halvane {
namespace {

LineModel Line(double left, double top, const std::u16string& text)
{
    LineModel line;
    line.left = left;
    line.top = top;
    line.right = left + 6.0 * static_cast<double>(text.size());
    line.bottom = top + 12;
    RunModel run;
    run.left = line.left;
    run.right = line.right;
    run.top = line.top;
    run.bottom = line.bottom;
    run.text = text;
    line.runs.push_back(run);
    return line;
}

std::vector<std::u16string> Texts(const std::vector<LineModel>& lines)
{
    std::vector<std::u16string> out;
    for (const LineModel& l : lines) {
        std::u16string t;
        for (const RunModel& r : l.runs)
            t += r.text;
        out.push_back(t);
    }
    return out;
}

TEST(Hyphenation, BrokenWordsAreJoinedOnTheLineOfTheirStart)
{
    struct Case {
        const char* what;
        std::u16string upper, lower;
        double lowerLeft, lowerTop;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {"joined", u"the tech- ", u"nology of ", 50, 114, {u"the technology ", u"of "}},
        {"the whole next line", u"a hyphen- ", u"ated ", 50, 114, {u"a hyphenated "}},
        {"soft hyphen", u"the tech\u00AD ", u"nology of ", 50, 114, {u"the technology ", u"of "}},
        {"capital next", u"the Anglo- ", u"Saxon ", 50, 114, {u"the Anglo- ", u"Saxon "}},
        {"minus sign", u"x = 3 - ", u"y ", 50, 114, {u"x = 3 - ", u"y "}},
        {"another column", u"the tech- ", u"nology of ", 400, 114, {u"the tech- ", u"nology of "}},
        {"far below", u"the tech- ", u"nology of ", 50, 160, {u"the tech- ", u"nology of "}},
        {"CJK text", u"\u4E2D\u6587 cross- ", u"reference ", 50, 114, {u"\u4E2D\u6587 cross- ", u"reference "}},
    };
    for (const Case& c : cases) {
        std::vector<LineModel> lines{Line(c.lowerLeft, c.lowerTop, c.lower), Line(50, 100, c.upper)};
        JoinHyphenatedWords(lines);
        std::vector<std::u16string> texts = Texts(lines);
        if (texts.size() == 2 && lines[0].top > lines[1].top)
            std::swap(texts[0], texts[1]);
        EXPECT_EQ(texts, c.expected) << c.what;
    }
}

// A line of table cells: each text starts at the given left.
LineModel Row(double top, const std::vector<std::pair<double, std::u16string>>& cells)
{
    LineModel line;
    for (const auto& cell : cells) {
        LineModel one = Line(cell.first, top, cell.second);
        if (line.runs.empty()) {
            line = one;
            continue;
        }
        line.runs.push_back(one.runs[0]);
        line.right = one.right;
    }
    return line;
}

TEST(Hyphenation, WordsWrappedInsideATableCellAreJoined)
{
    struct Case {
        const char* what;
        std::vector<LineModel> lines;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {"cell in the middle of a row",
         {Row(100, {{50, u"Retained "}, {150, u"compre- "}, {250, u"stock "}}), Row(114, {{150, u"hensive "}})},
         {u"Retained comprehensive stock "}},
        {"centred cell",
         {Row(100, {{50, u"Retained "}, {150, u"compre- "}, {250, u"stock "}}), Row(114, {{153, u"hensive "}})},
         {u"Retained comprehensive stock "}},
        {"a row of other cells in between",
         {Row(100, {{50, u"Transactions with non- "}}), Row(107, {{250, u"842 "}, {300, u"(1,048) "}}),
          Row(114, {{50, u"controlling interests "}})},
         {u"Transactions with noncontrolling ", u"842 (1,048) ", u"interests "}},
        {"the line below starts left of the cell",
         {Row(100, {{50, u"see "}, {100, u"pre- "}, {250, u"note "}}), Row(114, {{50, u"liminary notes and the "}})},
         {u"see pre- note ", u"liminary notes and the "}},
        {"indented under the cell",
         {Row(100, {{50, u"EnvCS- "}, {250, u". . . 4 "}}), Row(114, {{80, u"etex commands "}})},
         {u"EnvCS- . . . 4 ", u"etex commands "}},
        {"leader dots after the cell",
         {Row(100, {{50, u"EnvCS- "}, {100, u". . . 4 "}}), Row(114, {{50, u"etex "}})},
         {u"EnvCS- . . . 4 ", u"etex "}},
        {"capital in the cell below",
         {Row(100, {{50, u"Net "}, {150, u"Anglo- "}, {250, u"stock "}}), Row(114, {{150, u"Saxon "}})},
         {u"Net Anglo- stock ", u"Saxon "}},
    };
    for (const Case& c : cases) {
        std::vector<LineModel> lines = c.lines;
        JoinHyphenatedWords(lines);
        EXPECT_EQ(Texts(lines), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace halvane
