// Opening and closing the .docx file of a job, shared by both Word layouts.
#ifndef MORVANE_CONVERT_DOCX_OUTPUT_H
#define MORVANE_CONVERT_DOCX_OUTPUT_H

#include "strome.h"

// Derives the output path (output_name.h), replaces an existing file and starts a document in
// *docx. Non-zero when the document is open; *docx stays null otherwise.
int OpenDocxOutput(const wchar_t* pdfPath, wchar_t* outDir, qrn_IDocx** docx);

// Saves and frees an open document and clears *docx; nothing when *docx is null.
void CloseDocxOutput(qrn_IDocx** docx);

#endif
