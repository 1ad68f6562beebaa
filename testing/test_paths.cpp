#include "test_paths.h"

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#include <ftw.h>
#endif

namespace {

std::string EnvOr(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

#ifdef _WIN32
// ctest passes Unix paths; Wine maps the Unix root to drive Z:.
std::string ToWindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = folder + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + L"\\");
                RemoveDirectoryW(full.c_str());
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
}
#endif

}  // namespace

#ifdef _WIN32
std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], n);
    return out;
}

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &out[0], n, nullptr, nullptr);
    return out;
}

std::string TestSourcePath(const std::string& relative)
{
    return ToWindowsPath(EnvOr("MORVANE_SRC", ".") + "/" + relative);
}

std::wstring TestSourcePathW(const std::string& relative)
{
    return Widen(TestSourcePath(relative));
}

std::string TestBinFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return Narrow(p.substr(0, p.find_last_of(L'\\') + 1));
}

std::wstring TestScratchFolderW(const std::string& name)
{
    std::wstring folder = Widen(TestBinFolder()) + L"scratch\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += Widen(name) + L"\\";
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::string TestScratchFolder(const std::string& name)
{
    return Narrow(TestScratchFolderW(name));
}

#else

std::string TestSourcePath(const std::string& relative)
{
    return EnvOr("MORVANE_SRC", ".") + "/" + relative;
}

std::string TestBinFolder()
{
    return EnvOr("MORVANE_BIN", ".") + "/";
}

std::string TestScratchFolder(const std::string& name)
{
    std::string folder = TestBinFolder() + "scratch/";
    mkdir(folder.c_str(), 0755);
    folder += name;
    nftw(
        folder.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
    mkdir(folder.c_str(), 0755);
    return folder + "/";
}
#endif
