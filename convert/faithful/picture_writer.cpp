// Pictures: inline in a paragraph of their own where they stand alone, anchored at their place
// on the page with the text wrapping round them where text lies beside them; sized and cropped
// as the page shows them. The picture's bytes go to the writer as the reader gave them.
#include <algorithm>

#include "layout_access.h"
#include "page_writer.h"
#include "units.h"

namespace faithful {

namespace {

bool Finite(double v)
{
    return v == v && v > -1e6 && v < 1e6;
}

int Crop(float share)
{
    return Finite(share) ? Scaled(share, 100000.0, 0, 100000) : 0;
}

// Adds the picture of block to para with props' placement; false when there is none.
bool AddPictureTo(PageWriter& w, qrn_IDocxPara* para, const stPdfBlock& block, stPictureProps props)
{
    const stPdfPlacedImage* placed = ImageAt(*w.page, block.nImage);
    if (!placed || !placed->pImage || placed->pImage->nDataSize <= 0)
        return false;
    const stPdfImage* image = placed->pImage;
    const double width = (double)placed->fRight - placed->fLeft, height = (double)placed->fBottom - placed->fTop;
    if (!Finite(width) || !Finite(height) || width <= 0 || height <= 0)
        return false;
    qrn_IDocxPic* picture = w.docx->AddPicture(image->data, image->nDataSize, std::max(1, Scaled(width, 1, 1, 1 << 20)),
                                               std::max(1, Scaled(height, 1, 1, 1 << 20)));
    if (!picture)
        return false;
    props.cbSize = sizeof props;
    props.nWidth = std::max(20, Twips(width));
    props.nHeight = std::max(20, Twips(height));
    props.nCrop[0] = Crop(placed->fCropLeft);
    props.nCrop[1] = Crop(placed->fCropTop);
    props.nCrop[2] = Crop(placed->fCropRight);
    props.nCrop[3] = Crop(placed->fCropBottom);
    DOCX_OBJECT object = picture->CreateObject(0, 0);
    if (object) {
        para->AddObjectEx(object, &props);
        picture->FreeObject(object);
    }
    picture->Release();
    return true;
}

}  // namespace

void AnchorPicture(PageWriter& w, qrn_IDocxPara* para, const stPdfBlock& block)
{
    stPictureProps props = {};
    props.nPlacement = STROME_PLACE_ANCHOR;
    props.nHorzFrom = STROME_FROM_PAGE;
    props.nVertFrom = STROME_FROM_PAGE;
    props.nX = std::max(0, Twips(block.fLeft));
    props.nY = std::max(0, Twips(block.fTop));
    props.nWrap = STROME_WRAP_SQUARE;
    props.nDistance = Twips(4);
    AddPictureTo(w, para, block, props);
}

void WritePicture(PageWriter& w, const stPdfBlock& block, const FlowArea& area, const PlannedBlock& planned)
{
    if (planned.anchored) {
        w.pendingAnchors.push_back(planned.block);
        return;
    }
    stParagraphProps props = {};
    props.cbSize = sizeof props;
    props.nAlignment = STROME_ALIGN_LEFT;
    props.nLeft = Twips(block.fLeft - area.left);
    props.nRight = -Twips(area.slack);
    props.nBefore = std::max(0, Twips(planned.before));
    props.nLineRule = STROME_LINE_AUTO;  // an exact line would cut the picture off
    props.nLine = 240;
    qrn_IDocxPara* para = BeginBodyParagraph(w, props);
    if (!para)
        return;
    stRunFormat mark = {};
    mark.cbSize = sizeof mark;
    mark.nSize = 2;
    para->SetMarkFormat(&mark);
    stPictureProps placement = {};
    placement.nPlacement = STROME_PLACE_INLINE;
    AddPictureTo(w, para, block, placement);
    para->Release();
}

}  // namespace faithful
