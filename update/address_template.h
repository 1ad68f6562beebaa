// Fills a web-address template of the text table ("...?sid=%d&src=%d") with two integers.
#ifndef MORVANE_UPDATE_ADDRESS_TEMPLATE_H
#define MORVANE_UPDATE_ADDRESS_TEMPLATE_H

// Replaces the first "%d" by first and the second by second, "%%" by "%". A template with
// any other conversion, or more than two, is refused, so a damaged text table can never
// make the formatter read arguments that are not there. Returns the length written into
// address (capacity characters, zero-terminated), 0 when refused or too long.
int FormatAddressTemplate(const wchar_t* templateText, int first, int second, wchar_t* address, int capacity);

#endif
