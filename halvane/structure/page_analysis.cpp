#include "halvane/structure/page_analysis.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "halvane/structure/columns.h"
#include "halvane/structure/font_style.h"
#include "halvane/structure/layout_text.h"
#include "halvane/structure/paragraphs.h"
#include "halvane/structure/ruled_tables.h"
#include "halvane/structure/text_tables.h"

namespace halvane {

namespace {

// A run whose baseline sits this far (in its line's type sizes) above or below the line's, set
// smaller than the line, is a superscript or subscript.
constexpr double kMinScriptShift = 0.15;
constexpr double kMaxScriptSize = 0.85;
// Headings are set at least this much larger than the page's body text...
constexpr double kMinHeadingSize = 1.15;
// ...or bold over body text that is not, in at most this many lines and characters.
constexpr size_t kMaxHeadingLines = 3;
constexpr size_t kMaxBoldHeadingChars = 120;
// Headings of more levels than this share the last one.
constexpr int kMaxHeadingLevel = 6;
// Footnotes are set at most this size against the body text, below it.
constexpr double kMaxFootnoteSize = 0.88;
// Cell paragraphs are measured against the cell less this padding (page units) each side.
constexpr double kCellPadding = 1.0;
// A paragraph whose last line stops this short of its column's edge (in sizes) ends there.
constexpr double kMaxOpenLineShortfall = 1.5;
// A filled rectangle over more than this share of the page is its background.
constexpr double kMaxContentRuleShare = 0.8;

enum PieceKind { kTextPiece, kTablePiece, kImagePiece };

struct Piece {
    PieceKind kind = kTextPiece;
    std::vector<LayoutLine> lines;  // text pieces
    int table = -1;  // into tables
    std::vector<std::vector<LayoutLine>> cellLines;  // table pieces: per cell
    int image = -1;
    Box box = Box::None();
    size_t order = 0;
};

uint32_t ScriptFlags(const LayoutRun& run, double lineBaseline, double lineSize)
{
    if (lineSize <= 0 || run.size >= kMaxScriptSize * lineSize)
        return 0;
    const double shift = lineBaseline - run.baseline;  // y grows downwards: raised is positive
    if (shift > kMinScriptShift * lineSize)
        return PDF_STYLE_SUPERSCRIPT;
    if (-shift > kMinScriptShift * lineSize)
        return PDF_STYLE_SUBSCRIPT;
    return 0;
}

LayoutLine ConvertLine(const LineModel& lm)
{
    LayoutLine line;
    line.box = Box{lm.left, lm.top, lm.right, lm.bottom};
    for (const RunModel& rm : lm.runs) {
        LayoutRun r;
        r.box = Box{rm.left, rm.top, rm.right, rm.bottom};
        r.baseline = rm.baseline;
        r.text = rm.text;
        r.fontName = NameAsUtf8(rm.fontName);
        r.family = CleanFamilyName(r.fontName);
        r.size = rm.size;
        r.color = rm.color;
        r.flags =
            (rm.flags & (PDF_STYLE_BOLD | PDF_STYLE_ITALIC | PDF_STYLE_INVISIBLE)) | StyleFlagsFromName(rm.fontName);
        line.runs.push_back(std::move(r));
    }
    // The line's baseline is that of its main size.
    const double size = LineSize(line);
    line.baseline = lm.runs.empty() ? lm.bottom : lm.runs.front().baseline;
    for (const LayoutRun& r : line.runs)
        if (std::fabs(r.size - size) <= 0.01 * size) {
            line.baseline = r.baseline;
            break;
        }
    for (LayoutRun& r : line.runs) {
        r.rise = line.baseline - r.baseline;
        r.flags |= ScriptFlags(r, line.baseline, size);
    }
    return line;
}

void RecomputeBox(LayoutLine* line)
{
    line->box = Box::None();
    for (const LayoutRun& r : line->runs)
        line->box.Add(r.box);
}

double BodySize(const std::vector<Piece>& pieces)
{
    std::map<double, size_t> chars;
    for (const Piece& p : pieces)
        for (const LayoutLine& l : p.lines)
            for (const LayoutRun& r : l.runs)
                chars[std::round(r.size * 2) / 2] += r.text.size();
    double best = 0;
    size_t most = 0;
    for (const auto& c : chars)
        if (c.second > most) {
            most = c.second;
            best = c.first;
        }
    return best;
}

bool BodyIsBold(const std::vector<LayoutBlock>& blocks)
{
    size_t bold = 0, all = 0;
    for (const LayoutBlock& b : blocks)
        for (const LayoutLine& l : b.lines)
            for (const LayoutRun& r : l.runs) {
                all += r.text.size();
                bold += (r.flags & PDF_STYLE_BOLD) ? r.text.size() : 0;
            }
    return bold * 2 > all;
}

// Pulls the runs inside ruled tables out of the regions' lines into the tables' cells; a
// table takes the place in reading order of the first line that gave it a run.
void FillRuledTables(std::vector<std::vector<LayoutLine>>& regions, const std::vector<LayoutTable>& tables,
                     std::vector<std::vector<std::vector<LayoutLine>>>* cellLines,
                     std::vector<std::vector<std::pair<size_t, int>>>* markers)
{
    cellLines->assign(tables.size(), {});
    for (size_t t = 0; t < tables.size(); ++t)
        (*cellLines)[t].resize(tables[t].cells.size());
    markers->assign(regions.size(), {});
    std::vector<char> placed(tables.size(), 0);
    for (size_t g = 0; g < regions.size(); ++g) {
        std::vector<LayoutLine>& lines = regions[g];
        for (size_t i = 0; i < lines.size(); ++i) {
            LayoutLine& line = lines[i];
            const bool inAnyTable = std::any_of(line.runs.begin(), line.runs.end(), [&](const LayoutRun& r) {
                const double cx = 0.5 * (r.box.x0 + r.box.x1), cy = 0.5 * (r.box.y0 + r.box.y1);
                return std::any_of(tables.begin(), tables.end(), [&](const LayoutTable& t) {
                    return cx >= t.box.x0 && cx <= t.box.x1 && cy >= t.box.y0 && cy <= t.box.y1;
                });
            });
            if (!inAnyTable)
                continue;
            std::vector<LayoutRun> keep;
            std::map<std::pair<size_t, size_t>, LayoutLine> pieces;  // (table, cell) -> runs of this line
            for (LayoutRun& r : line.runs) {
                const double cx = 0.5 * (r.box.x0 + r.box.x1), cy = 0.5 * (r.box.y0 + r.box.y1);
                bool taken = false;
                for (size_t t = 0; t < tables.size() && !taken; ++t) {
                    const Box& tb = tables[t].box;
                    if (cx < tb.x0 || cx > tb.x1 || cy < tb.y0 || cy > tb.y1)
                        continue;
                    for (size_t c = 0; c < tables[t].cells.size(); ++c) {
                        const Box& cb = tables[t].cells[c].box;
                        if (cx >= cb.x0 && cx <= cb.x1 && cy >= cb.y0 && cy <= cb.y1) {
                            LayoutLine& piece = pieces[std::make_pair(t, c)];
                            piece.baseline = line.baseline;
                            piece.runs.push_back(std::move(r));
                            taken = true;
                            break;
                        }
                    }
                }
                if (!taken)
                    keep.push_back(std::move(r));
            }
            if (pieces.empty())
                continue;
            for (auto& p : pieces) {
                RecomputeBox(&p.second);
                (*cellLines)[p.first.first][p.first.second].push_back(std::move(p.second));
                if (!placed[p.first.first]) {
                    placed[p.first.first] = 1;
                    (*markers)[g].emplace_back(i, static_cast<int>(p.first.first));
                }
            }
            line.runs = std::move(keep);
            RecomputeBox(&line);
        }
    }
    // Tables without any text still show (an empty form grid): after the last region.
    for (size_t t = 0; t < tables.size(); ++t)
        if (!placed[t] && !regions.empty())
            (*markers)[regions.size() - 1].emplace_back(regions.back().size(), static_cast<int>(t));
    for (auto& lines : *cellLines)
        for (auto& cell : lines)
            std::stable_sort(cell.begin(), cell.end(),
                             [](const LayoutLine& a, const LayoutLine& b) { return a.baseline < b.baseline; });
}

void MarkHeadings(std::vector<LayoutBlock>& blocks, double bodySize)
{
    const bool bodyBold = BodyIsBold(blocks);
    std::vector<double> sizes;
    std::vector<size_t> headings;
    for (size_t i = 0; i < blocks.size(); ++i) {
        LayoutBlock& b = blocks[i];
        const bool item = b.kind == PDF_BLOCK_LIST_ITEM;
        if ((b.kind != PDF_BLOCK_PARAGRAPH && !item) || b.lines.empty() || b.lines.size() > kMaxHeadingLines)
            continue;
        const std::u16string text = b.Text();
        if (!HasWordChar(text))
            continue;
        const double size = b.MainSize();
        const bool larger = bodySize > 0 && size >= kMinHeadingSize * bodySize;
        bool bold = !bodyBold && text.size() <= kMaxBoldHeadingChars &&
                    std::all_of(b.lines.begin(), b.lines.end(), [](const LayoutLine& l) { return LineIsBold(l); });
        // A bold line leading into body text of its own size: a run-in heading needs the body after it.
        if (bold && !larger) {
            const bool nextIsBody =
                i + 1 < blocks.size() && !blocks[i + 1].lines.empty() && !LineIsBold(blocks[i + 1].lines[0]);
            bold = nextIsBody;
        }
        if (!larger && !(bold && !item))
            continue;
        if (item) {
            // A numbered heading ("2.1 Scope", "一、春"): its number is part of its text.
            LayoutLine& first = b.lines[0];
            LayoutRun label = first.runs.empty() ? LayoutRun() : first.runs[0];
            label.text = b.label + u" ";
            label.box.x0 = b.labelLeft;
            label.box.x1 = b.textLeft;
            first.runs.insert(first.runs.begin(), label);
            first.box.x0 = b.labelLeft;
            b.box.x0 = std::min(b.box.x0, b.labelLeft);
            b.label.clear();
            b.listKind = PDF_LIST_NONE;
            b.leftIndent += b.firstLineIndent;
            b.firstLineIndent = 0;
        }
        headings.push_back(i);
        sizes.push_back(std::round(size * 2) / 2 + (LineIsBold(b.lines[0]) ? 0.1 : 0));
    }
    std::vector<double> distinct(sizes);
    std::sort(distinct.begin(), distinct.end(), std::greater<double>());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (size_t k = 0; k < headings.size(); ++k) {
        LayoutBlock& b = blocks[headings[k]];
        b.kind = PDF_BLOCK_HEADING;
        const int level =
            static_cast<int>(std::find(distinct.begin(), distinct.end(), sizes[k]) - distinct.begin()) + 1;
        b.headingLevel = std::min(level, kMaxHeadingLevel);
        b.flags |= PDF_BLOCK_KEEP_WITH_NEXT;
    }
}

bool StartsWithNoteMark(const LayoutBlock& b)
{
    if (b.lines.empty() || b.lines[0].runs.empty())
        return false;
    const LayoutRun& first = b.lines[0].runs[0];
    if (first.flags & PDF_STYLE_SUPERSCRIPT)
        return true;
    const std::u16string t = Trimmed(first.text);
    if (t.empty())
        return false;
    const char16_t c = t[0];
    return (c >= u'0' && c <= u'9') || c == u'*' || c == 0x2020 || c == 0x2021 || c == 0x00A7;
}

// Footnotes: the blocks at the bottom of a column, set smaller than the body, the first of them
// starting with a note mark.
void MarkFootnotes(std::vector<LayoutBlock>& blocks, double bodySize, double pageHeight)
{
    if (bodySize <= 0)
        return;
    std::map<std::pair<int, int>, std::vector<size_t>> flows;
    for (size_t i = 0; i < blocks.size(); ++i)
        flows[std::make_pair(blocks[i].section, blocks[i].column)].push_back(i);
    // Only the last section's columns hold footnotes.
    int lastSection = -1;
    for (const LayoutBlock& b : blocks)
        lastSection = std::max(lastSection, b.section);
    for (auto& flow : flows) {
        if (flow.first.first != lastSection && flow.first.second >= 0)
            continue;
        std::vector<size_t>& ids = flow.second;
        size_t k = ids.size();
        while (k > 0) {
            const LayoutBlock& b = blocks[ids[k - 1]];
            const double size = b.MainSize();
            if (b.lines.empty() || size <= 0 || size > kMaxFootnoteSize * bodySize || b.box.y0 < 0.5 * pageHeight)
                break;
            --k;
        }
        // The notes start at the first block with a mark; there must be body text above them.
        while (k < ids.size() && !StartsWithNoteMark(blocks[ids[k]]))
            ++k;
        if (k == 0)
            continue;
        for (size_t j = k; j < ids.size(); ++j)
            blocks[ids[j]].kind = PDF_BLOCK_FOOTNOTE;
    }
}

void MarkRunningHeads(std::vector<LayoutBlock>& blocks, double pageHeight, const RunningHeads& heads)
{
    const std::vector<HeadCandidate> candidates = HeadCandidates(blocks, pageHeight);
    for (const HeadCandidate& c : candidates) {
        bool varies = false;
        if (!heads.Repeats(c, &varies))
            continue;
        for (LayoutBlock& b : blocks) {
            if (b.lines.empty() || b.box.x0 != c.box.x0 || b.box.y0 != c.box.y0 || b.box.x1 != c.box.x1)
                continue;
            b.kind = c.top ? PDF_BLOCK_HEADER : PDF_BLOCK_FOOTER;
            b.headingLevel = 0;
            b.flags &= ~static_cast<uint32_t>(PDF_BLOCK_KEEP_WITH_NEXT);
            if (varies) {
                b.pageRef = RunningHeads::PageNumberIn(c.text);
                if (!b.pageRef.empty())
                    b.flags |= PDF_BLOCK_HAS_PAGE_NUMBER;
            }
            break;
        }
    }
}

// Whether a paragraph stops in mid-sentence at the bottom of its column: its last line reaches
// the column's edge and ends in no sentence mark.
bool EndsOpen(const LayoutBlock& b, const LayoutSection& s)
{
    if ((b.kind != PDF_BLOCK_PARAGRAPH && b.kind != PDF_BLOCK_LIST_ITEM) || b.lines.empty() || b.column >= 4)
        return false;
    const LayoutLine& last = b.lines.back();
    const double size = std::max(1.0, LineSize(last));
    const int column = b.column < 0 ? 0 : b.column;
    if (s.columnRight[column] - last.box.x1 > kMaxOpenLineShortfall * size)
        return false;
    std::u16string text = Trimmed(LineText(last));
    if (text.empty())
        return false;
    static const std::u16string kSentenceEnds = u".!?:;\u3002\uFF0E\uFF01\uFF1F\uFF1A\u201D\"\u300D)\uFF09";
    return kSentenceEnds.find(text.back()) == std::u16string::npos;
}

// A paragraph that goes on from the previous column, or from the previous page, starts its
// column flow without an indent of its own.
bool MayContinue(const LayoutBlock& b)
{
    if (b.kind != PDF_BLOCK_PARAGRAPH || b.lines.empty())
        return false;
    return b.lines.size() == 1 || b.firstLineIndent <= 0.5 * std::max(1.0, b.MainSize());
}

void MarkContinuations(PageLayout& layout, bool previousEndsOpen)
{
    // The page's first body paragraph.
    for (LayoutBlock& b : layout.blocks) {
        if (b.section < 0)
            continue;
        if (previousEndsOpen && MayContinue(b))
            b.flags |= PDF_BLOCK_CONTINUED;
        break;
    }
    // Within sections: the first block of a column after a column that ended open.
    for (const LayoutSection& s : layout.sections) {
        for (int c = 1; c < s.columnCount; ++c) {
            LayoutBlock* lastOfPrevious = nullptr;
            LayoutBlock* firstOfThis = nullptr;
            for (int i = s.firstBlock; i < s.firstBlock + s.blockCount; ++i) {
                LayoutBlock& b = layout.blocks[static_cast<size_t>(i)];
                if (b.column == c - 1 && b.kind != PDF_BLOCK_FOOTNOTE)
                    lastOfPrevious = &b;
                if (b.column == c && !firstOfThis)
                    firstOfThis = &b;
            }
            if (lastOfPrevious && firstOfThis && EndsOpen(*lastOfPrevious, s) && MayContinue(*firstOfThis))
                firstOfThis->flags |= PDF_BLOCK_CONTINUED;
        }
    }
    // The page ends open when its last body block does.
    for (auto it = layout.blocks.rbegin(); it != layout.blocks.rend(); ++it) {
        if (it->section < 0 || it->kind == PDF_BLOCK_FOOTNOTE)
            continue;
        layout.endsOpen = EndsOpen(*it, layout.sections[static_cast<size_t>(it->section)]);
        break;
    }
}

}  // namespace

PageLayout AnalysePage(PageModel& model, int number, const RunningHeads* heads, bool previousEndsOpen)
{
    PageLayout layout;
    layout.number = number;
    layout.rotate = model.rotate;
    layout.textTurn = model.textTurn;
    layout.writingMode = model.verticalWriting ? PDF_WRITING_VERTICAL : PDF_WRITING_HORIZONTAL;
    layout.width = model.width;
    layout.height = model.height;
    for (int k = 0; k < 4; ++k) {
        layout.mediaBox[k] = model.mediaBox[k];
        layout.cropBox[k] = model.cropBox[k];
    }
    std::vector<LayoutRule> rules;
    rules.reserve(model.rules.size());
    for (const RuleModel& rm : model.rules) {
        LayoutRule r;
        r.kind = rm.kind == RuleModel::kFill    ? PDF_RULE_FILL
                 : rm.kind == RuleModel::kFrame ? PDF_RULE_FRAME
                                                : PDF_RULE_LINE;
        r.x0 = rm.x0;
        r.y0 = rm.y0;
        r.x1 = rm.x1;
        r.y1 = rm.y1;
        r.width = rm.width;
        r.color = rm.color;
        rules.push_back(r);
    }
    model.rules.clear();
    // Regions of lines; pictures stand as pieces of their own where their region has them.
    std::vector<std::vector<LayoutLine>> regions;
    std::vector<std::vector<std::pair<size_t, int>>> imageMarkers;
    for (auto& region : model.regions) {
        regions.emplace_back();
        imageMarkers.emplace_back();
        for (LineModel& lm : region) {
            bool image = false;
            for (RunModel& rm : lm.runs)
                if (rm.isImage) {
                    LayoutImage img;
                    img.box = Box{rm.left, rm.top, rm.right, rm.bottom};
                    img.width = static_cast<int>(rm.right - rm.left + 0.5);
                    img.height = static_cast<int>(rm.bottom - rm.top + 0.5);
                    img.data.swap(rm.imageData);
                    imageMarkers.back().emplace_back(regions.back().size(), static_cast<int>(layout.images.size()));
                    layout.images.push_back(std::move(img));
                    image = true;
                }
            if (image) {
                LineModel textOnly = lm;
                textOnly.runs.erase(std::remove_if(textOnly.runs.begin(), textOnly.runs.end(),
                                                   [](const RunModel& r) { return r.isImage; }),
                                    textOnly.runs.end());
                if (textOnly.runs.empty())
                    continue;
                regions.back().push_back(ConvertLine(textOnly));
                continue;
            }
            if (!lm.runs.empty())
                regions.back().push_back(ConvertLine(lm));
        }
    }
    layout.tables = FindRuledTables(&rules);
    std::vector<std::vector<std::vector<LayoutLine>>> ruledCells;
    std::vector<std::vector<std::pair<size_t, int>>> tableMarkers;
    FillRuledTables(regions, layout.tables, &ruledCells, &tableMarkers);

    // Pieces in the reading order of the regions.
    std::vector<Piece> pieces;
    auto flushText = [&](std::vector<LayoutLine>& lines) {
        lines.erase(std::remove_if(lines.begin(), lines.end(), [](const LayoutLine& l) { return l.runs.empty(); }),
                    lines.end());
        if (lines.empty())
            return;
        // Tables of aligned text cut the stretch.
        std::vector<TextTableFind> found = FindTextTables(lines);
        size_t at = 0;
        auto textPiece = [&](size_t from, size_t to) {
            if (from >= to)
                return;
            Piece p;
            p.lines.assign(std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(from)),
                           std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(to)));
            for (const LayoutLine& l : p.lines)
                p.box.Add(l.box);
            pieces.push_back(std::move(p));
        };
        for (TextTableFind& f : found) {
            textPiece(at, f.first);
            Piece p;
            p.kind = kTablePiece;
            p.table = static_cast<int>(layout.tables.size());
            p.box = f.table.box;
            p.cellLines = std::move(f.cellLines);
            layout.tables.push_back(std::move(f.table));
            ruledCells.emplace_back();  // keeps indexes of tables and cell lines together
            pieces.push_back(std::move(p));
            at = f.end;
        }
        textPiece(at, lines.size());
        lines.clear();
    };
    for (size_t g = 0; g < regions.size(); ++g) {
        std::vector<std::pair<size_t, int>> marks;  // (line index, +table / -image-1)
        for (const auto& m : tableMarkers[g])
            marks.emplace_back(m.first, m.second);
        for (const auto& m : imageMarkers[g])
            marks.emplace_back(m.first, -m.second - 1);
        std::stable_sort(
            marks.begin(), marks.end(),
            [](const std::pair<size_t, int>& a, const std::pair<size_t, int>& b) { return a.first < b.first; });
        std::vector<LayoutLine> stretch;
        size_t next = 0;
        for (size_t i = 0; i <= regions[g].size(); ++i) {
            while (next < marks.size() && marks[next].first == i) {
                flushText(stretch);
                Piece p;
                if (marks[next].second >= 0) {
                    p.kind = kTablePiece;
                    p.table = marks[next].second;
                    p.box = layout.tables[static_cast<size_t>(p.table)].box;
                    p.cellLines = std::move(ruledCells[static_cast<size_t>(p.table)]);
                } else {
                    p.kind = kImagePiece;
                    p.image = -marks[next].second - 1;
                    p.box = layout.images[static_cast<size_t>(p.image)].box;
                }
                pieces.push_back(std::move(p));
                ++next;
            }
            if (i < regions[g].size())
                stretch.push_back(std::move(regions[g][i]));
        }
        flushText(stretch);
    }
    for (size_t i = 0; i < pieces.size(); ++i)
        pieces[i].order = i;

    const double bodySize = BodySize(pieces);
    std::vector<Box> boxes;
    for (const Piece& p : pieces)
        boxes.push_back(p.box);
    std::vector<PiecePlace> places;
    FindSections(boxes, bodySize, &layout.sections, &places);
    // Column by column within each section, keeping the regions' order within a column.
    std::vector<size_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (places[a].section != places[b].section)
            return places[a].section < places[b].section;
        return places[a].column < places[b].column;
    });

    std::vector<LayoutBlock> blocks;
    for (size_t id : order) {
        Piece& p = pieces[id];
        const LayoutSection& s = layout.sections[static_cast<size_t>(places[id].section)];
        const int column = places[id].column;
        ColumnRange range{s.columnLeft[column], s.columnRight[column]};
        const size_t first = blocks.size();
        if (p.kind == kTextPiece) {
            BuildParagraphs(std::move(p.lines), range, &blocks);
        } else if (p.kind == kTablePiece) {
            LayoutTable& t = layout.tables[static_cast<size_t>(p.table)];
            for (size_t c = 0; c < t.cells.size() && c < p.cellLines.size(); ++c) {
                LayoutCell& cell = t.cells[c];
                ColumnRange cellRange{cell.box.x0 + kCellPadding, cell.box.x1 - kCellPadding};
                BuildParagraphs(std::move(p.cellLines[c]), cellRange, &cell.blocks, t.ruled);
                for (LayoutBlock& b : cell.blocks) {
                    b.section = -1;
                    b.column = -1;
                }
            }
            LayoutBlock b;
            b.kind = PDF_BLOCK_TABLE;
            b.table = p.table;
            b.box = t.box;
            blocks.push_back(std::move(b));
        } else {
            LayoutBlock b;
            b.kind = PDF_BLOCK_IMAGE;
            b.image = p.image;
            b.box = p.box;
            blocks.push_back(std::move(b));
        }
        for (size_t k = first; k < blocks.size(); ++k) {
            blocks[k].section = places[id].section;
            blocks[k].column = s.columnCount > 1 ? column : -1;
        }
    }
    MarkHeadings(blocks, bodySize);
    MarkFootnotes(blocks, bodySize, layout.height);
    if (heads)
        MarkRunningHeads(blocks, layout.height, *heads);

    // Headers first and footers last, outside the sections; the sections' blocks in between.
    std::vector<LayoutBlock> flow;
    for (LayoutBlock& b : blocks)
        if (b.kind == PDF_BLOCK_HEADER) {
            b.section = -1;
            b.column = -1;
            flow.push_back(std::move(b));
        }
    for (size_t s = 0; s < layout.sections.size(); ++s) {
        layout.sections[s].firstBlock = static_cast<int>(flow.size());
        for (LayoutBlock& b : blocks)
            if (b.section == static_cast<int>(s) && b.kind != PDF_BLOCK_HEADER && b.kind != PDF_BLOCK_FOOTER)
                flow.push_back(std::move(b));
        layout.sections[s].blockCount = static_cast<int>(flow.size()) - layout.sections[s].firstBlock;
    }
    for (LayoutBlock& b : blocks)
        if (b.kind == PDF_BLOCK_FOOTER) {
            b.section = -1;
            b.column = -1;
            flow.push_back(std::move(b));
        }
    layout.blocks = std::move(flow);
    // Sections that lost all their blocks to headers and footers go.
    {
        std::vector<LayoutSection> kept;
        std::vector<int> renumber(layout.sections.size(), -1);
        for (size_t s = 0; s < layout.sections.size(); ++s)
            if (layout.sections[s].blockCount > 0) {
                renumber[s] = static_cast<int>(kept.size());
                kept.push_back(layout.sections[s]);
            }
        for (LayoutBlock& b : layout.blocks)
            if (b.section >= 0)
                b.section = renumber[static_cast<size_t>(b.section)];
        layout.sections = std::move(kept);
    }
    // Space between neighbouring blocks of one column.
    std::map<std::pair<int, int>, LayoutBlock*> last;
    for (LayoutBlock& b : layout.blocks) {
        if (b.section < 0)
            continue;
        auto key = std::make_pair(b.section, b.column);
        auto it = last.find(key);
        if (it != last.end()) {
            const double gap = std::max(0.0, b.box.y0 - it->second->box.y1);
            b.spaceBefore = gap;
            it->second->spaceAfter = gap;
        }
        last[key] = &b;
    }
    MarkContinuations(layout, previousEndsOpen);
    layout.columnCount = 1;
    for (const LayoutSection& s : layout.sections)
        layout.columnCount = std::max(layout.columnCount, s.columnCount);
    layout.content = Box::None();
    for (const LayoutBlock& b : layout.blocks)
        layout.content.Add(b.box);
    for (const LayoutRule& r : rules) {
        const Box box{std::min(r.x0, r.x1), std::min(r.y0, r.y1), std::max(r.x0, r.x1), std::max(r.y0, r.y1)};
        // A page's background is no content.
        if (box.Width() * box.Height() < kMaxContentRuleShare * layout.width * layout.height)
            layout.content.Add(box);
    }
    if (layout.content.x1 < layout.content.x0)
        layout.content = Box{0, 0, 0, 0};
    layout.rules = std::move(rules);
    return layout;
}

}  // namespace halvane
