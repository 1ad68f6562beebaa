// File services on Windows: wide-character paths, a delete-on-close scratch file in the
// user's temporary folder, and a replace-on-commit output file.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <vector>

#include "../core/platform_files.h"

namespace strome {

FILE* OpenScratchFile()
{
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t path[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH, folder);
    if (n == 0 || n > MAX_PATH || GetTempFileNameW(folder, L"stm", 0, path) == 0)
        return nullptr;
    HANDLE h = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileW(path);
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE* file = _fdopen(fd, "w+b");
    if (!file)
        _close(fd);
    return file;
}

namespace {

class Win32AtomicOutput : public AtomicOutputFile {
public:
    Win32AtomicOutput(std::wstring target, std::wstring temp, HANDLE file)
        : target_(std::move(target)), temp_(std::move(temp)), file_(file)
    {
        buffer_.reserve(kBufferSize);
    }

    ~Win32AtomicOutput() override { Discard(); }

    bool Write(const void* data, size_t size) override
    {
        if (failed_ || file_ == INVALID_HANDLE_VALUE)
            return false;
        const char* p = static_cast<const char*>(data);
        if (buffer_.size() + size > kBufferSize && !Flush())
            return false;
        if (size >= kBufferSize)
            return WriteAll(p, size);
        buffer_.insert(buffer_.end(), p, p + size);
        return true;
    }

    bool Commit() override
    {
        bool ok = !failed_ && file_ != INVALID_HANDLE_VALUE && Flush() && FlushFileBuffers(file_);
        if (file_ != INVALID_HANDLE_VALUE) {
            ok = CloseHandle(file_) && ok;
            file_ = INVALID_HANDLE_VALUE;
        }
        if (ok && MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            temp_.clear();
            return true;
        }
        Discard();
        return false;
    }

private:
    static constexpr size_t kBufferSize = 256 * 1024;

    bool Flush()
    {
        bool ok = buffer_.empty() || WriteAll(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

    bool WriteAll(const char* p, size_t size)
    {
        while (size > 0 && !failed_) {
            DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!WriteFile(file_, p, chunk, &written, nullptr) || written != chunk)
                failed_ = true;
            p += chunk;
            size -= chunk;
        }
        return !failed_;
    }

    void Discard()
    {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
            file_ = INVALID_HANDLE_VALUE;
        }
        if (!temp_.empty()) {
            DeleteFileW(temp_.c_str());
            temp_.clear();
        }
    }

    std::wstring target_;
    std::wstring temp_;
    HANDLE file_;
    std::vector<char> buffer_;
    bool failed_ = false;
};

// A full path that, with the temporary suffix, would pass MAX_PATH gets the "\\?\" form,
// which has no such limit: a target the caller may name must not fail for its temporary file.
std::wstring ExtendedLengthPath(std::wstring path)
{
    if (path.size() + 32 < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;  // relative: left to the usual rules
}

}  // namespace

std::unique_ptr<AtomicOutputFile> AtomicOutputFile::Create(const std::u16string& targetPath)
{
    std::wstring target(targetPath.begin(), targetPath.end());
    if (target.empty() || target.back() == L'\\' || target.back() == L'/')
        return nullptr;
    target = ExtendedLengthPath(target);
    // A name beside the target, unique within this process and very likely across processes.
    static LONG counter = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        wchar_t suffix[48];
        swprintf(suffix, 48, L".~%lx-%lx.tmp", GetCurrentProcessId(),
                 static_cast<unsigned long>(InterlockedIncrement(&counter)));
        std::wstring temp = target + suffix;
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            return std::unique_ptr<AtomicOutputFile>(new Win32AtomicOutput(target, temp, h));
        if (GetLastError() != ERROR_FILE_EXISTS)
            return nullptr;
    }
    return nullptr;
}

}  // namespace strome
