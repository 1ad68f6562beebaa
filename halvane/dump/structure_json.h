// The page layout records as JSON, for tests and debugging (halvane-dump --structure).
#ifndef HALVANE_DUMP_STRUCTURE_JSON_H
#define HALVANE_DUMP_STRUCTURE_JSON_H

#include <string>

#include "halvane.h"

// Appends one page object: {"number", "width", "height", "columns", "sections", "blocks", ...}.
void AppendLayoutJson(const stPdfPageLayout& layout, std::string* out);

#endif
