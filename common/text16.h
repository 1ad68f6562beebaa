// The 16-bit character type of texts that cross the reader and writer contracts.
// On Windows it is wchar_t (UTF-16); the portable cores also build on Linux, where wchar_t
// is 32 bits wide, so there the same records use char16_t.
#ifndef MORVANE_COMMON_TEXT16_H
#define MORVANE_COMMON_TEXT16_H

#ifdef _WIN32
typedef wchar_t qrn_wchar;
#else
typedef char16_t qrn_wchar;
#endif

#endif
