// Web addresses of the product: a template from the text table ("...?sid=%d&src=%d") filled
// with the kernel data's nAppId and pub.ini's src. Only integer conversions are accepted in a
// template; anything else leaves the address empty, so a damaged table cannot make the
// formatter read arguments that were never passed.
#ifndef MORVANE_APP_WEB_ADDRESS_H
#define MORVANE_APP_WEB_ADDRESS_H

#include <stdint.h>

const int kWebAddressChars = 1024;

// Fills address (capacity characters) from the template with up to three integers in order;
// placeholders beyond the given values read 0. Returns the length, or 0 (empty address) for a
// template with other conversions or a result that does not fit.
int FormatWebAddress(const wchar_t* templ, const int32_t* values, int valueCount, wchar_t* address, int capacity);

// Reads template textId and formats it with nAppId and, when withSrc, pub.ini's src.
int BuildWebAddress(int32_t textId, bool withSrc, wchar_t* address, int capacity);

// Opens the address with the shell's "open" (through the class layer's seam); nothing for an
// empty address. Failures are not reported.
void OpenWebAddress(const wchar_t* address);

#endif
