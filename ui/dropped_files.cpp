#include "dropped_files.h"

#include <windows.h>

#include <algorithm>

namespace {

const size_t kMaxPathChars = 259;

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void AddFolderPdfs(const std::wstring& folder, std::vector<std::wstring>* out)
{
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"*.pdf").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring path = base + data.cFileName;
        // The pattern also matches short-name aliases such as "x.pdfx"; check the long name.
        if (HasPdfExtension(path) && path.size() <= kMaxPathChars)
            found.push_back(path);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(found.begin(), found.end());
    out->insert(out->end(), found.begin(), found.end());
}

}  // namespace

bool HasPdfExtension(const std::wstring& path)
{
    if (path.size() < 4)
        return false;
    const wchar_t* tail = path.c_str() + path.size() - 4;
    return tail[0] == L'.' && (tail[1] | 0x20) == L'p' && (tail[2] | 0x20) == L'd' && (tail[3] | 0x20) == L'f';
}

std::vector<std::wstring> CollectDroppedPdfs(const std::vector<std::wstring>& dropped)
{
    std::vector<std::wstring> pdfs;
    for (const std::wstring& path : dropped) {
        if (path.empty() || path.size() > kMaxPathChars)
            continue;
        if (IsFolder(path))
            AddFolderPdfs(path, &pdfs);
        else if (HasPdfExtension(path))
            pdfs.push_back(path);
    }
    return pdfs;
}
