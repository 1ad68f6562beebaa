#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hyphenation.h"

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

}  // namespace
}  // namespace halvane
