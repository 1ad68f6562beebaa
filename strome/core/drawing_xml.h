// A picture as a run of DrawingML: inline in its line (wp:inline) or anchored at a position
// with text wrapping around it (wp:anchor), optionally cropped (a:srcRect).
#ifndef MORVANE_STROME_CORE_DRAWING_XML_H
#define MORVANE_STROME_CORE_DRAWING_XML_H

#include <stdint.h>

#include <string>

#include "formats.h"

namespace strome {

// Word's canvas: a picture or an offset beyond it is refused.
constexpr int64_t kMaxPictureEmu = 22 * 914400;
constexpr int32_t kWholeCrop = 100000;  // 1/1000 % of the image

struct PictureDrawing {
    std::string relId;  // of the image part
    int64_t widthEmu = 1;  // shown size
    int64_t heightEmu = 1;
    int64_t id = 1;  // unique among the document's drawings
    PicturePlacement placement;
};

// Appends <w:r><w:drawing>...</w:drawing></w:r>.
void AppendPictureRun(std::string& out, const PictureDrawing& picture);

}  // namespace strome

#endif
