#include "settings_file.h"

#include <windows.h>

#include <string.h>

#include <vector>

#include "job_list.h"
#include "settings_store.h"

unsigned g_nCfgRetryWaitMs = 200;
int g_nCfgOpenAttempts = 1000;

namespace {

enum class CfgAccess { Read, Change };

// Opens (or creates) the file; retries while another opener holds it.
HANDLE OpenCfg(const wchar_t* path, CfgAccess access)
{
    if (!path || !*path)
        return INVALID_HANDLE_VALUE;
    const DWORD desired = access == CfgAccess::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = access == CfgAccess::Read ? FILE_SHARE_READ : 0;
    for (int attempt = 1;; ++attempt) {
        HANDLE file = CreateFileW(path, desired, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        if (GetLastError() != ERROR_SHARING_VIOLATION || attempt >= g_nCfgOpenAttempts)
            return INVALID_HANDLE_VALUE;
        Sleep(g_nCfgRetryWaitMs);
    }
}

// The whole file, or nothing when it is too large to be a store.
std::vector<uint8_t> ReadWholeFile(HANDLE file)
{
    std::vector<uint8_t> bytes;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart > CFG_MAX_FILE_SIZE)
        return bytes;
    bytes.resize((size_t)size.QuadPart);
    DWORD got = 0;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !ReadFile(file, bytes.data(), (DWORD)bytes.size(), &got, nullptr))
        got = 0;
    bytes.resize(got);
    return bytes;
}

CCfgStore LoadStore(HANDLE file)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(file);
    CCfgStore store;
    store.Load(bytes.data(), bytes.size());
    return store;
}

// Writes the store over the file in one write; the file ends where the store ends.
DWORD WriteStore(HANDLE file, const CCfgStore& store)
{
    const std::vector<uint8_t>& bytes = store.Bytes();
    DWORD written = 0;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) || written != bytes.size())
        return 0;
    SetEndOfFile(file);
    return written;
}

// Loads the store for a change, lets change() work on it and writes it back.
template <typename Change> DWORD ChangeStore(const wchar_t* path, Change change)
{
    HANDLE file = OpenCfg(path, CfgAccess::Change);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    try {
        CCfgStore store = LoadStore(file);
        change(store);
        written = WriteStore(file, store);
    } catch (...) {  // out of memory: the file keeps its old content
        written = 0;
    }
    CloseHandle(file);
    return written;
}

}  // namespace

bool CfgIsValid(const wchar_t* path)
{
    // Read sharing and the retry as for every other opener: a store that another copy of the
    // program is writing at this moment is still a valid store.
    HANDLE file = OpenCfg(path, CfgAccess::Read);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool valid = false;
    try {
        const std::vector<uint8_t> bytes = ReadWholeFile(file);
        valid = CCfgStore::IsValid(bytes.data(), bytes.size());
    } catch (...) {
        valid = false;
    }
    CloseHandle(file);
    return valid;
}

int CfgReset(const wchar_t* path)
{
    return ChangeStore(path, [](CCfgStore& store) { store.SetVersion(CFG_VERSION); }) != 0;
}

int CfgWriteItem(const wchar_t* path, int id, const void* data, int length)
{
    if (length < 0 || (length > 0 && !data))
        return 0;
    // A write the store refuses (directory full, an item that would grow) leaves the file as it was.
    return (int)ChangeStore(path, [&](CCfgStore& store) { store.WriteItem((uint32_t)id, data, length); });
}

int CfgReadItem(const wchar_t* path, int id, void* buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0)
        return 0;
    HANDLE file = OpenCfg(path, CfgAccess::Read);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int length = 0;
    try {
        length = LoadStore(file).ReadItem((uint32_t)id, buffer, bufferSize);
    } catch (...) {
        length = 0;
    }
    CloseHandle(file);
    return length;
}

void CfgSetOutputDir(const wchar_t* path, const wchar_t* folder)
{
    wchar_t item[CFG_OUTPUT_DIR_BYTES / sizeof(wchar_t)] = {};
    const size_t capacity = sizeof(item) / sizeof(item[0]);
    // Room for the terminating zero: a 260-character folder could not be read back as a string.
    if (folder && wcsnlen(folder, capacity) < capacity)
        wcscpy(item, folder);
    CfgWriteItem(path, CFG_ID_OUTPUT_DIR, item, sizeof(item));
}

int CfgGetOutputDir(const wchar_t* path, wchar_t* folder)
{
    if (!folder)
        return 0;
    const size_t capacity = CFG_OUTPUT_DIR_BYTES / sizeof(wchar_t);
    memset(folder, 0, CFG_OUTPUT_DIR_BYTES);
    wchar_t item[CFG_OUTPUT_DIR_BYTES / sizeof(wchar_t)] = {};
    const int length = CfgReadItem(path, CFG_ID_OUTPUT_DIR, item, sizeof(item));
    if (length >= 1 && length <= CFG_OUTPUT_DIR_BYTES) {
        memcpy(folder, item, (size_t)length);
        folder[capacity - 1] = 0;
    }
    return length;
}

namespace {

bool IsWordLayout(int layout)
{
    return layout == WORD_LAYOUT_CLASSIC || layout == WORD_LAYOUT_FAITHFUL;
}

}  // namespace

int CfgSetWordLayout(const wchar_t* path, int layout)
{
    if (!IsWordLayout(layout))
        return 0;
    const uint8_t item[CFG_WORD_LAYOUT_BYTES] = {(uint8_t)layout, (uint8_t)(layout >> 8), (uint8_t)(layout >> 16),
                                                 (uint8_t)(layout >> 24)};
    return CfgWriteItem(path, CFG_ID_WORD_LAYOUT, item, sizeof(item)) != 0;
}

int CfgGetWordLayout(const wchar_t* path)
{
    // One byte more than the item: a longer item (not written by this program) is told apart.
    uint8_t item[CFG_WORD_LAYOUT_BYTES + 1] = {};
    if (CfgReadItem(path, CFG_ID_WORD_LAYOUT, item, sizeof(item)) != CFG_WORD_LAYOUT_BYTES)
        return WORD_LAYOUT_DEFAULT;
    const uint32_t stored = item[0] | (item[1] << 8) | (item[2] << 16) | ((uint32_t)item[3] << 24);
    return stored <= 0x7FFFFFFFu && IsWordLayout((int)stored) ? (int)stored : WORD_LAYOUT_DEFAULT;
}
