// Lays a page model out as the contract's page records (common/halvane.h) in one allocation, so
// a page is freed with one call and holds nothing of any other page.
#ifndef HALVANE_PAGE_RECORDS_H
#define HALVANE_PAGE_RECORDS_H

#include "halvane.h"
#include "halvane/layout/page_model.h"

namespace halvane {

// Null when memory runs out. Regions are separated by null line entries.
stPdfPage* BuildPageRecords(const PageModel& model);
void FreePageRecords(stPdfPage* page);

}  // namespace halvane

#endif
