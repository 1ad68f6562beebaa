#include "zip_writer.h"

#include "deflater.h"

namespace strome {

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint16_t kVersionNeeded = 20;  // 2.0: deflate
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kEndRecordSize = 22;
// 1 January 1980, 00:00 in MS-DOS form: fixed, so that the same document gives the same bytes.
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;

void Le16(std::string& b, uint32_t v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}

void Le32(std::string& b, uint32_t v)
{
    Le16(b, v & 0xFFFF);
    Le16(b, v >> 16);
}

}  // namespace

ZipWriter::ZipWriter(ByteSink& out, uint64_t sizeLimit) : out_(out), sizeLimit_(sizeLimit)
{ }

bool ZipWriter::Put(const void* data, size_t size)
{
    if (ok_ && !out_.Write(data, size))
        ok_ = false;
    if (ok_)
        offset_ += size;
    return ok_;
}

bool ZipWriter::BeginEntry(const std::string& name, ZipMethod method, uint32_t crc, uint64_t rawSize,
                           uint64_t storedSize)
{
    if (!ok_)
        return false;
    if (name.empty() || name.size() > 0xFFFF || entries_.size() >= 0xFFFF || rawSize > 0xFFFFFFFFu ||
        storedSize > 0xFFFFFFFFu || offset_ + kLocalHeaderSize + name.size() + storedSize > sizeLimit_) {
        ok_ = false;
        return false;
    }
    entries_.push_back(Entry{name, method, crc, uint32_t(rawSize), uint32_t(storedSize), uint32_t(offset_)});
    std::string h;
    Le32(h, kLocalHeaderSignature);
    Le16(h, kVersionNeeded);
    Le16(h, 0);  // flags: sizes in the header, names are ASCII
    Le16(h, uint16_t(method));
    Le16(h, kDosTime);
    Le16(h, kDosDate);
    Le32(h, crc);
    Le32(h, uint32_t(storedSize));
    Le32(h, uint32_t(rawSize));
    Le16(h, uint32_t(name.size()));
    Le16(h, 0);  // no extra field
    h += name;
    return Put(h.data(), h.size());
}

bool ZipWriter::AddDeflated(const std::string& name, const std::string& data)
{
    StringSink compressed;
    Deflater deflater(compressed);
    if (!deflater.Write(data.data(), data.size()) || !deflater.Finish()) {
        ok_ = false;
        return false;
    }
    return BeginEntry(name, ZipMethod::kDeflated, deflater.crc(), data.size(), compressed.bytes.size()) &&
           Put(compressed.bytes.data(), compressed.bytes.size());
}

bool ZipWriter::AddFromSpool(const std::string& name, ZipMethod method, uint32_t crc, uint64_t rawSize, Spool& spool,
                             uint64_t offset, uint64_t storedSize)
{
    if (!BeginEntry(name, method, crc, rawSize, storedSize))
        return false;
    if (!spool.CopyTo(out_, offset, storedSize)) {
        ok_ = false;
        return false;
    }
    offset_ += storedSize;
    return true;
}

bool ZipWriter::Finish()
{
    if (!ok_)
        return false;
    std::string dir;
    for (const Entry& e : entries_) {
        Le32(dir, kCentralHeaderSignature);
        Le16(dir, kVersionNeeded);  // made by: MS-DOS attributes, version 2.0
        Le16(dir, kVersionNeeded);
        Le16(dir, 0);
        Le16(dir, uint16_t(e.method));
        Le16(dir, kDosTime);
        Le16(dir, kDosDate);
        Le32(dir, e.crc);
        Le32(dir, e.storedSize);
        Le32(dir, e.rawSize);
        Le16(dir, uint32_t(e.name.size()));
        Le16(dir, 0);  // extra field
        Le16(dir, 0);  // comment
        Le16(dir, 0);  // disk number
        Le16(dir, 0);  // internal attributes
        Le32(dir, 0);  // external attributes
        Le32(dir, e.headerOffset);
        dir += e.name;
    }
    const uint64_t dirOffset = offset_;
    const uint32_t dirSize = uint32_t(dir.size());
    if (dirOffset + dir.size() + kEndRecordSize > sizeLimit_) {
        ok_ = false;
        return false;
    }
    Le32(dir, kEndSignature);
    Le16(dir, 0);
    Le16(dir, 0);
    Le16(dir, uint32_t(entries_.size()));
    Le16(dir, uint32_t(entries_.size()));
    Le32(dir, dirSize);
    Le32(dir, uint32_t(dirOffset));
    Le16(dir, 0);  // comment length
    return Put(dir.data(), dir.size());
}

}  // namespace strome
