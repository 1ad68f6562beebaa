// Text to the terminal: wide characters through the console when there is one, UTF-8 when
// the stream is redirected to a file or a pipe.
#ifndef MORVANE_CONSOLE_CONSOLE_OUT_H
#define MORVANE_CONSOLE_CONSOLE_OUT_H

#include <string>

void PrintOut(const std::wstring& text);
void PrintErr(const std::wstring& text);

#endif
