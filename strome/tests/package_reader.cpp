#include "package_reader.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include "test_paths.h"
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

uint32_t Le16(const std::string& b, size_t at)
{
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8;
}
uint32_t Le32(const std::string& b, size_t at)
{
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

bool Inflate(const std::string& in, size_t expected, std::string& out)
{
    out.assign(expected, '\0');
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = uInt(in.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = uInt(expected);
    int rc = inflate(&z, Z_FINISH);
    bool ok = rc == Z_STREAM_END && z.total_out == expected;
    inflateEnd(&z);
    return ok || (expected == 0 && rc == Z_STREAM_END);
}

}  // namespace

const std::string& Package::Part(const std::string& name) const
{
    static const std::string kNone;
    auto it = entries.find(name);
    return it == entries.end() ? kNone : it->second.data;
}

Package ReadPackageBytes(const std::string& b)
{
    Package p;
    if (b.size() < 22) {
        p.error = "too short";
        return p;
    }
    size_t end = b.size() - 22;  // the writer adds no archive comment
    if (Le32(b, end) != 0x06054b50) {
        p.error = "no end record";
        return p;
    }
    size_t count = Le16(b, end + 10), dirSize = Le32(b, end + 12), dirOffset = Le32(b, end + 16);
    if (dirOffset + dirSize != end) {
        p.error = "central directory does not end at the end record";
        return p;
    }
    size_t at = dirOffset;
    for (size_t i = 0; i < count; ++i) {
        if (at + 46 > end || Le32(b, at) != 0x02014b50) {
            p.error = "bad central header";
            return p;
        }
        int method = int(Le16(b, at + 10));
        uint32_t crc = Le32(b, at + 16), stored = Le32(b, at + 20), raw = Le32(b, at + 24);
        size_t nameLength = Le16(b, at + 28), extra = Le16(b, at + 30), comment = Le16(b, at + 32);
        size_t local = Le32(b, at + 42);
        std::string name = b.substr(at + 46, nameLength);
        at += 46 + nameLength + extra + comment;
        if (local + 30 > b.size() || Le32(b, local) != 0x04034b50 || Le32(b, local + 14) != crc ||
            Le32(b, local + 18) != stored || Le32(b, local + 22) != raw ||
            b.compare(local + 30, nameLength, name) != 0) {
            p.error = "local header of " + name + " disagrees with the central directory";
            return p;
        }
        size_t data = local + 30 + nameLength + Le16(b, local + 28);
        if (data + stored > dirOffset) {
            p.error = "data of " + name + " runs past the central directory";
            return p;
        }
        PackageEntry e;
        e.method = method;
        std::string packed = b.substr(data, stored);
        if (method == 0)
            e.data = packed;
        else if (method != 8 || !Inflate(packed, raw, e.data)) {
            p.error = "cannot inflate " + name;
            return p;
        }
        if (uint32_t(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), uInt(e.data.size()))) != crc) {
            p.error = "CRC mismatch in " + name;
            return p;
        }
        if (p.entries.count(name)) {
            p.error = "duplicate entry " + name;
            return p;
        }
        p.names.push_back(name);
        p.entries[name] = std::move(e);
    }
    p.ok = true;
    return p;
}

std::string ReadWholeFile(const std::string& path)
{
#ifdef _WIN32
    FILE* f = _wfopen(Widen(path).c_str(), L"rb");
#else
    FILE* f = std::fopen(path.c_str(), "rb");
#endif
    std::string bytes;
    if (!f)
        return bytes;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    std::fclose(f);
    return bytes;
}

Package ReadPackageFile(const std::string& path)
{
    if (!FileExists(path)) {
        Package p;
        p.error = "no file " + path;
        return p;
    }
    return ReadPackageBytes(ReadWholeFile(path));
}

bool FileExists(const std::string& path)
{
#ifdef _WIN32
    DWORD a = GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((Widen(folder) + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..")
            names.push_back(Narrow(n));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
#else
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, ".."))
                names.push_back(e->d_name);
        closedir(d);
    }
#endif
    return names;
}

size_t CountOf(const std::string& haystack, const std::string& needle)
{
    size_t n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + needle.size()))
        ++n;
    return n;
}
