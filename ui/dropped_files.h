// The PDF files named by a drop onto the main window: files ending in ".pdf" (any letter case)
// as they are, and the ".pdf" files directly inside a dropped folder, in name order.
#ifndef MORVANE_UI_DROPPED_FILES_H
#define MORVANE_UI_DROPPED_FILES_H

#include <string>
#include <vector>

// True for a name ending in ".pdf" in any letter case.
bool HasPdfExtension(const std::wstring& path);

// Expands the dropped paths. Paths of 260 characters or more are left out: the job list holds
// at most 259.
std::vector<std::wstring> CollectDroppedPdfs(const std::vector<std::wstring>& dropped);

#endif
