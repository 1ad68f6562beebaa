// Collects the glyphs and image placements of one page from the content interpreter, in a
// form the line builder reads: each glyph in the frame of its own writing direction.
#ifndef HALVANE_TEXT_COLLECTOR_H
#define HALVANE_TEXT_COLLECTOR_H

#include <functional>
#include <string>
#include <vector>

#include "halvane/content/content_interpreter.h"
#include "halvane/layout/page_model.h"

namespace halvane {

// Writing directions: the angle of the baseline in page space (y down), in whole degrees.
// Text within a few degrees of an axis counts as that axis.
enum { kDirRight = 0, kDirDown = 90, kDirLeft = 180, kDirUp = 270 };

// Page point to the frame of a direction, where text of that direction runs left to right and
// its lines follow each other downwards.
Point ToDirectionFrame(int dir, Point p);
Point FromDirectionFrame(int dir, Point p);

struct PlacedGlyph {
    double u0 = 0, u1 = 0;  // extent along the baseline, in the direction frame
    double baseline = 0;  // baseline position across it
    double size = 0;  // height of an em: the size the layout measures with
    double typeSize = 0;  // the size a document names for the text (the em height when unknown)
    int dir = kDirRight;
    bool isSpace = false;  // white space only: marks a word break, takes no room
    std::u16string text;
    const Font* font = nullptr;
    uint32_t color = 0;
    bool invisible = false;
};

struct PlacedImage {
    double left = 0, top = 0, right = 0, bottom = 0;  // page space
    std::string data;  // PNG or JPEG bytes (empty when images are not wanted)
};

using ImageEncoderFn = std::function<bool(const ImageEvent&, std::string*)>;

class TextCollector : public ContentSink {
public:
    // encoder: turns an image event into file bytes; null when images are not wanted.
    TextCollector(double pageWidth, double pageHeight, ImageEncoderFn encoder)
        : width_(pageWidth), height_(pageHeight), encoder_(std::move(encoder))
    { }

    void OnGlyph(const GlyphEvent& glyph) override;
    void OnImage(const ImageEvent& image) override;
    bool WantsImages() const override { return static_cast<bool>(encoder_); }
    void OnRule(const RuleEvent& rule) override;
    bool WantsRules() const override { return wantsRules_; }

    // Rules and filled boxes are collected only when asked for (the page layout reads them).
    void CollectRules(bool on) { wantsRules_ = on; }

    std::vector<PlacedGlyph>& Glyphs() { return glyphs_; }
    std::vector<PlacedImage>& Images() { return images_; }
    std::vector<RuleModel>& Rules() { return rules_; }
    // Glyphs and images left out because the page already had as many as it may hold.
    size_t DroppedGlyphs() const { return droppedGlyphs_; }
    size_t DroppedImages() const { return droppedImages_; }

private:
    double width_, height_;
    ImageEncoderFn encoder_;
    bool wantsRules_ = false;
    std::vector<PlacedGlyph> glyphs_;
    std::vector<PlacedImage> images_;
    std::vector<RuleModel> rules_;
    size_t droppedGlyphs_ = 0;
    size_t droppedImages_ = 0;
};

}  // namespace halvane

#endif
