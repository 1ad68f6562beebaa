// The toolkit's arithmetic: opaque runs of a key-coloured image, button frames, scroll-bar
// geometry, list scroll extents and progress fill.
#include <gtest/gtest.h>

#include <vector>

#include "skin.h"

namespace {

struct OpaqueRun {
    int y, x0, x1;
    bool operator==(const OpaqueRun& o) const { return y == o.y && x0 == o.x0 && x1 == o.x1; }
};

// Rows of pixels written as characters: '.' key colour, '#' opaque, 'g' magenta with green 1,
// 'a' key colour with a non-zero fourth byte.
std::vector<uint8_t> Pixels(const std::vector<const char*>& rows)
{
    std::vector<uint8_t> out;
    for (const char* row : rows) {
        for (const char* c = row; *c; ++c) {
            switch (*c) {
            case '.':
                out.insert(out.end(), {255, 0, 255, 0});
                break;
            case 'a':
                out.insert(out.end(), {255, 0, 255, 0x7F});
                break;
            case 'g':
                out.insert(out.end(), {255, 1, 255, 0});
                break;
            default:
                out.insert(out.end(), {10, 20, 30, 0});
                break;
            }
        }
    }
    return out;
}

std::vector<OpaqueRun> Runs(const std::vector<const char*>& rows, size_t cut = 0)
{
    const int width = static_cast<int>(strlen(rows[0]));
    std::vector<uint8_t> pixels = Pixels(rows);
    std::vector<OpaqueRun> runs;
    ForEachOpaqueRun(pixels.data(), pixels.size() - cut, width, static_cast<int>(rows.size()),
                     static_cast<size_t>(width) * 4, [&](int y, int x0, int x1) {
                         runs.push_back({y, x0, x1});
                     });
    return runs;
}

}  // namespace

TEST(OpaqueRunsTest, KeyColourCases)
{
    struct Case {
        const char* name;
        std::vector<const char*> rows;
        std::vector<OpaqueRun> runs;
    } cases[] = {
        {"no key pixel: one run per full row", {"####", "####"}, {{0, 0, 4}, {1, 0, 4}}},
        {"only key pixels: nothing", {"....", "...."}, {}},
        {"key at the row start: no empty run", {".###"}, {{0, 1, 4}}},
        {"two key pixels split the row", {"#..#"}, {{0, 0, 1}, {0, 3, 4}}},
        {"one key pixel leaves a one-pixel gap", {"##.##"}, {{0, 0, 2}, {0, 3, 5}}},
        {"green 1 is not the key", {"#g#"}, {{0, 0, 3}}},
        {"the fourth byte is ignored", {"#a#"}, {{0, 0, 1}, {0, 2, 3}}},
        {"magenta corners cut away", {".##.", "####", ".##."}, {{0, 1, 3}, {1, 0, 4}, {2, 1, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Runs(c.rows), c.runs);
    }
}

TEST(OpaqueRunsTest, RowsThePixelBufferDoesNotHoldAreNotRead)
{
    // The last row is one byte short: only the first row is scanned.
    EXPECT_EQ(Runs({"##", "##"}, 1), (std::vector<OpaqueRun>{{0, 0, 2}}));
}

TEST(SkinBtnFrameTest, StateChoosesTheFrame)
{
    EXPECT_EQ(SkinBtnFrameIndex(0, false), 0);
    EXPECT_EQ(SkinBtnFrameIndex(0, true), 1);
    EXPECT_EQ(SkinBtnFrameIndex(ODS_SELECTED, true), 2);
    EXPECT_EQ(SkinBtnFrameIndex(ODS_DISABLED, true), 3);
    EXPECT_EQ(SkinBtnFrameIndex(ODS_DISABLED | ODS_SELECTED, false), 3);
}

namespace {
ScrollBarGeometry HorizontalBar(int width, int max, double ratio, int position)
{
    ScrollBarGeometry g;
    g.width = width;
    g.height = 17;
    g.max = max;
    g.ratio = ratio;
    g.position = position;
    return g;
}
}  // namespace

TEST(ScrollGeometryTest, HorizontalPartsAndHitTest)
{
    const ScrollBarGeometry g = HorizontalBar(200, 10, 0.5, 0);
    EXPECT_DOUBLE_EQ(g.ThumbLength(), 83.0);  // (200 - 34) * 0.5
    EXPECT_DOUBLE_EQ(g.FreeTrackLength(), 83.0);  // 166 - 83
    EXPECT_DOUBLE_EQ(g.PixelsPerStep(), 8.3);
    EXPECT_EQ(g.ThumbStart(), 17);
    EXPECT_EQ(g.ThumbEnd(), 100);
    struct {
        int x, part;
    } hits[] = {{8, SSP_FIRST_ARROW}, {17, SSP_NONE},         {0, SSP_NONE},           {50, SSP_THUMB},
                {100, SSP_NONE},      {150, SSP_TRACK_AFTER}, {190, SSP_SECOND_ARROW}, {183, SSP_NONE}};
    for (const auto& h : hits) {
        EXPECT_EQ(g.HitTest(POINT{h.x, 8}), h.part) << "x = " << h.x;
    }
    EXPECT_EQ(g.HitTest(POINT{8, 0}), SSP_NONE);  // the top border line
    const ScrollBarGeometry moved = HorizontalBar(200, 10, 0.5, 10);
    EXPECT_EQ(moved.ThumbStart(), 17 + 83);
    EXPECT_EQ(moved.HitTest(POINT{50, 8}), SSP_TRACK_BEFORE);
}

TEST(ScrollGeometryTest, SmallRatioGivesTheMinimumThumb)
{
    const ScrollBarGeometry g = HorizontalBar(134, 50, 0.1, 0);  // 100 * 0.1 = 10 pixels
    EXPECT_DOUBLE_EQ(g.ThumbLength(), 16.0);
}

TEST(ScrollGeometryTest, VerticalGeometry)
{
    ScrollBarGeometry g;
    g.vertical = true;
    g.width = 17;
    g.height = 300;
    g.max = 20;
    g.ratio = 0.5;
    EXPECT_DOUBLE_EQ(g.ThumbLength(), (300 - 51) * 0.5);
    EXPECT_DOUBLE_EQ(g.FreeTrackLength(), (300 - 34) - 124.5 + 1);
    EXPECT_EQ(g.HitTest(POINT{8, 8}), SSP_FIRST_ARROW);
    EXPECT_EQ(g.HitTest(POINT{8, 295}), SSP_SECOND_ARROW);
}

TEST(ScrollGeometryTest, ClampingAndDragSteps)
{
    EXPECT_EQ(ClampScrollPosition(-1, 10), 0);
    EXPECT_EQ(ClampScrollPosition(11, 10), 10);
    EXPECT_EQ(ClampScrollPosition(5, -3), 0);
    EXPECT_EQ(ThumbDragSteps(8, 8.3, 10), 0);  // less than one step does nothing
    EXPECT_EQ(ThumbDragSteps(17, 8.3, 10), 2);
    EXPECT_EQ(ThumbDragSteps(-17, 8.3, 10), -2);
    // A track too short for the range: the drag goes to the end it points at, never further.
    EXPECT_EQ(ClampScrollPosition(3 + ThumbDragSteps(1, 0.0, 10), 10), 10);
    EXPECT_EQ(ClampScrollPosition(3 + ThumbDragSteps(-1, 0.0, 10), 10), 0);
    EXPECT_EQ(ClampScrollPosition(ThumbDragSteps(1 << 30, 1e-9, 10), 10), 10);
}

TEST(SkinListExtentTest, StepsRoundUp)
{
    EXPECT_EQ(SkinListScrollMax(700, 400, 5), 60);  // columns 300 pixels wider than visible
    EXPECT_EQ(SkinListScrollMax(701, 400, 5), 61);
    EXPECT_EQ(SkinListScrollMax(400, 400, 5), 0);
    EXPECT_EQ(SkinListScrollMax(0, 0, 0), 0);  // no row height yet
}

TEST(ProgressFillTest, FillWidths)
{
    EXPECT_EQ(ProgressFillWidth(100, 100, 50), 50);
    EXPECT_EQ(ProgressFillWidth(100, 100, 150), 100);
    EXPECT_EQ(ProgressFillWidth(100, 7, 1), 14);
    EXPECT_EQ(ProgressFillWidth(100, 0, 5), 0);
    EXPECT_EQ(ProgressFillWidth(100, 100, -5), 0);
}
