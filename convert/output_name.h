// Where a job's output goes: the output folder (or, when none is set, the PDF's own folder),
// the PDF's file name without its last four characters (the ".pdf"), and the writer's extension.
#ifndef MORVANE_CONVERT_OUTPUT_NAME_H
#define MORVANE_CONVERT_OUTPUT_NAME_H

#include <stddef.h>

#include <string>

#include "text16.h"

enum { OUTPUT_DIR_CHARS = 260 };  // the output folder buffer, zero-terminated

typedef std::basic_string<qrn_wchar> qrn_string;

// Builds the output path of pdfPath. outDir is a buffer of OUTPUT_DIR_CHARS characters: when it
// does not end in a backslash or a slash, a backslash is appended to it in place. An empty outDir
// means the folder of the PDF. A file name of four characters or fewer keeps its whole name
// (cutting it would leave nothing). False, and outPath untouched, when pdfPath has no backslash
// or no file name, or outDir has no room for the backslash.
bool BuildOutputPath(const qrn_wchar* pdfPath, qrn_wchar* outDir, const qrn_wchar* extension, qrn_string* outPath);

#endif
