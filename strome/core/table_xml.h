// The XML around a table's content: the table's properties and grid, a row's and a cell's
// properties, with their borders and shading.
#ifndef MORVANE_STROME_CORE_TABLE_XML_H
#define MORVANE_STROME_CORE_TABLE_XML_H

#include <stdint.h>

#include <string>
#include <vector>

#include "formats.h"

namespace strome {

constexpr int kMaxGridColumns = 63;  // Word's limit
constexpr int kMinBorderEighths = 2, kMaxBorderEighths = 96;

// <w:tbl><w:tblPr>...</w:tblPr><w:tblGrid>...</w:tblGrid>
std::string TableStartXml(const TableFormat& table, const std::vector<int64_t>& gridTwips);
// <w:tr> and its w:trPr
std::string RowStartXml(const RowFormat& row);
// <w:tc> and its w:tcPr; widthTwips: of the grid columns it spans
std::string CellStartXml(const CellFormat& cell, int64_t widthTwips);

}  // namespace strome

#endif
