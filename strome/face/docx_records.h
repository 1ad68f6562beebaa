// The later records of the contract (those that start with cbSize) read into the model's
// formats: a record is read only as far as its cbSize says, values outside what Word can show
// make the record invalid, and the call that gave it is refused.
#ifndef MORVANE_STROME_FACE_DOCX_RECORDS_H
#define MORVANE_STROME_FACE_DOCX_RECORDS_H

#include <string.h>

#include <vector>

#include "strome.h"
#include "../core/formats.h"

namespace strome {

// Copies what the caller's record holds into a zeroed record of this writer's size; false
// for a record too short to hold even its size field.
template <class Record> bool ReadRecord(const Record* given, Record& out)
{
    memset(&out, 0, sizeof out);
    if (!given)
        return true;  // null: every field zero
    uint32_t size;
    memcpy(&size, given, sizeof size);
    if (size < sizeof(uint32_t))
        return false;
    memcpy(&out, given, size < sizeof out ? size : sizeof out);
    return true;
}

bool SectionFrom(const stSectionProps* props, SectionFormat& out);
bool ParagraphFrom(const stParagraphProps* props, ParagraphFormat& out);
bool RunFrom(const stRunFormat* props, RunFormat& out);
bool TableFrom(const stTableProps* props, const int32_t* widths, int count, TableFormat& out,
               std::vector<int64_t>& grid);
bool RowFrom(const stRowProps* props, RowFormat& out);
bool CellFrom(const stCellProps* props, CellFormat& out);
// width and height: the picture object's own size in points, for a record without one.
bool PictureFrom(const stPictureProps* props, int objectWidthPoints, int objectHeightPoints, PicturePlacement& out,
                 int64_t& widthTwips, int64_t& heightTwips);

}  // namespace strome

#endif
