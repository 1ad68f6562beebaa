// Reading order of a loaded page, shared by the Word layout and the plain-text writer so that
// both write a page's lines in the same order.
#ifndef MORVANE_COMMON_LINE_ORDER_H
#define MORVANE_COMMON_LINE_ORDER_H

#include "halvane.h"

// Sorts the page's lines by top, ascending and stable, in place. A null entry never moves:
// the reader puts one between text regions (columns), and each stretch between two null
// entries is sorted on its own, so regions keep the reader's order.
void SortLinesByTop(stPdfPage* page);

// Sorts a line's runs by their x position, ascending and stable, in place.
void SortRunsByX(stPdfLine* line);

#endif
