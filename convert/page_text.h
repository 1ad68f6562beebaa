// The plain-text form of one loaded page, in the same reading order as the Word layout: lines
// by top (each stretch between null entries on its own), runs by x. Every line that is neither
// null nor blank gives one output line, its text runs joined as they are, ending in CR LF.
// Pages are separated by a line holding one form feed (U+000C): a page that is not the job's
// last ends with "\f\r\n", so a text file splits back into pages at form feeds.
#ifndef MORVANE_CONVERT_PAGE_TEXT_H
#define MORVANE_CONVERT_PAGE_TEXT_H

#include "halvane.h"
#include "output_name.h"

// Appends the page's text to out. Sorts the page's lines and runs in place.
void AppendPageText(stPdfPage* page, int isLast, qrn_string* out);

#endif
