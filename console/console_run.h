// The console converter's run: the files go into a job list and are converted by the same
// worker and writers as in the main window, with page progress on the terminal.
#ifndef MORVANE_CONSOLE_CONSOLE_RUN_H
#define MORVANE_CONSOLE_CONSOLE_RUN_H

#include "console_args.h"

// Converts the files of args. 0 when every file gave its output, 1 when any failed (one line
// on the error stream per failed file), 2 when the output folder is unusable.
int RunConsoleConversion(const stConsoleArgs& args);

#endif
