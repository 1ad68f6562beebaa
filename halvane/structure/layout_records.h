// Lays a page layout out as the contract's layout records (common/halvane.h) in one allocation,
// so a layout is freed with one call and holds nothing of any other page.
#ifndef HALVANE_STRUCTURE_LAYOUT_RECORDS_H
#define HALVANE_STRUCTURE_LAYOUT_RECORDS_H

#include "halvane.h"
#include "halvane/structure/layout_model.h"

namespace halvane {

// Null when memory runs out.
stPdfPageLayout* BuildLayoutRecords(const PageLayout& layout);
void FreeLayoutRecords(stPdfPageLayout* layout);

}  // namespace halvane

#endif
