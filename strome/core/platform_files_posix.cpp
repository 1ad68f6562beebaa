// File services on POSIX systems (the native build of the core and its tests).
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform_files.h"
#include "xml_text.h"

namespace strome {

FILE* OpenScratchFile()
{
    return tmpfile();
}

namespace {

std::string Utf8Path(const std::u16string& path)
{
    std::string out;
    DecodeUtf16(path.data(), path.size(), [&](uint32_t c) { AppendUtf8(out, c); });
    return out;
}

class PosixAtomicOutput : public AtomicOutputFile {
public:
    PosixAtomicOutput(std::string target, std::string temp, FILE* file)
        : target_(std::move(target)), temp_(std::move(temp)), file_(file)
    { }

    ~PosixAtomicOutput() override { Discard(); }

    bool Write(const void* data, size_t size) override
    {
        if (!file_ || failed_)
            return false;
        if (size > 0 && fwrite(data, 1, size, file_) != size)
            failed_ = true;
        return !failed_;
    }

    bool Commit() override
    {
        if (!file_ || failed_) {
            Discard();
            return false;
        }
        bool ok = fflush(file_) == 0 && fsync(fileno(file_)) == 0;
        ok = (fclose(file_) == 0) && ok;
        file_ = nullptr;
        if (ok && rename(temp_.c_str(), target_.c_str()) == 0) {
            temp_.clear();
            return true;
        }
        Discard();
        return false;
    }

private:
    void Discard()
    {
        if (file_) {
            fclose(file_);
            file_ = nullptr;
        }
        if (!temp_.empty()) {
            unlink(temp_.c_str());
            temp_.clear();
        }
    }

    std::string target_;
    std::string temp_;
    FILE* file_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<AtomicOutputFile> AtomicOutputFile::Create(const std::u16string& targetPath)
{
    std::string target = Utf8Path(targetPath);
    if (target.empty() || target.back() == '/')
        return nullptr;
    std::string temp = target + ".~XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0)
        return nullptr;
    fchmod(fd, 0644);  // mkstemp makes the file private; a document is an ordinary file
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        unlink(temp.c_str());
        return nullptr;
    }
    return std::unique_ptr<AtomicOutputFile>(new PosixAtomicOutput(target, temp, file));
}

}  // namespace strome
