#include "settings_store.h"

#include <string.h>

namespace {

enum : size_t {
    OFS_VERSION = 0,
    OFS_ITEM_COUNT = 4,
    OFS_FILE_SIZE = 8,
    OFS_MAX_ITEMS = 12,
    OFS_DATA_END = 16,
    OFS_TAG = 20,
    TAG_SIZE = 8,
};

const char kTag[TAG_SIZE] = "qrncfg";

uint32_t ReadLE32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

void WriteLE32(uint8_t* p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

size_t ItemOffset(uint32_t index)
{
    return CFG_HEADER_SIZE + (size_t)index * CFG_ITEM_SIZE;
}

bool HasTag(const uint8_t* bytes, size_t size)
{
    if (!bytes || size <= CFG_TAG_PROBE_SIZE)
        return false;
    // Compared as a zero-terminated string: the stored tag must end within its 8 bytes.
    const char* tag = (const char*)bytes + OFS_TAG;
    return memchr(tag, 0, TAG_SIZE) && strcmp(tag, kTag) == 0;
}

}  // namespace

CCfgStore::CCfgStore() : m_bytes(CFG_EMPTY_SIZE, 0)
{
    SetField(OFS_FILE_SIZE, CFG_EMPTY_SIZE);
    SetField(OFS_MAX_ITEMS, CFG_MAX_ITEMS);
    SetField(OFS_DATA_END, CFG_EMPTY_SIZE);
    memcpy(&m_bytes[OFS_TAG], kTag, TAG_SIZE);
}

bool CCfgStore::IsSound(const uint8_t* bytes, size_t size)
{
    if (!HasTag(bytes, size) || size < CFG_EMPTY_SIZE)
        return false;
    const uint32_t fileSize = ReadLE32(bytes + OFS_FILE_SIZE);
    const uint32_t count = ReadLE32(bytes + OFS_ITEM_COUNT);
    const uint32_t dataEnd = ReadLE32(bytes + OFS_DATA_END);
    if (fileSize < CFG_EMPTY_SIZE || fileSize > size || fileSize > CFG_MAX_FILE_SIZE)
        return false;
    if (ReadLE32(bytes + OFS_MAX_ITEMS) != CFG_MAX_ITEMS || count > CFG_MAX_ITEMS)
        return false;
    // New items go at dwDataEnd: it must lie inside the store and after every item's data, so a
    // new item neither leaves the buffer nor overwrites another one.
    if (dataEnd < CFG_EMPTY_SIZE || dataEnd > fileSize)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* item = bytes + ItemOffset(i);
        const uint64_t offset = ReadLE32(item + 4);
        const uint64_t length = ReadLE32(item + 8);
        if (offset < CFG_EMPTY_SIZE || offset + length > dataEnd)
            return false;
    }
    return true;
}

bool CCfgStore::IsValid(const uint8_t* bytes, size_t size)
{
    return IsSound(bytes, size) && (ReadLE32(bytes + OFS_VERSION) >> 16) == 1;
}

void CCfgStore::Load(const uint8_t* bytes, size_t size)
{
    if (IsSound(bytes, size))
        m_bytes.assign(bytes, bytes + ReadLE32(bytes + OFS_FILE_SIZE));
    else
        *this = CCfgStore();
}

uint32_t CCfgStore::Field(size_t offset) const
{
    return ReadLE32(&m_bytes[offset]);
}

void CCfgStore::SetField(size_t offset, uint32_t value)
{
    WriteLE32(&m_bytes[offset], value);
}

uint32_t CCfgStore::Version() const
{
    return Field(OFS_VERSION);
}

void CCfgStore::SetVersion(uint32_t version)
{
    SetField(OFS_VERSION, version);
}

uint32_t CCfgStore::ItemCount() const
{
    return Field(OFS_ITEM_COUNT);
}

int CCfgStore::FindItem(uint32_t id) const
{
    const uint32_t count = ItemCount();
    for (uint32_t i = 0; i < count; ++i)
        if (Field(ItemOffset(i)) == id)
            return (int)i;
    return -1;
}

bool CCfgStore::WriteItem(uint32_t id, const void* data, int length)
{
    if (length < 0 || (length > 0 && !data))
        return false;
    const int index = FindItem(id);
    if (index >= 0) {
        const size_t entry = ItemOffset((uint32_t)index);
        // An item keeps the length of its first write; a longer write would spill into the next item.
        if ((uint32_t)length > Field(entry + 8))
            return false;
        if (length > 0)
            memcpy(&m_bytes[Field(entry + 4)], data, (size_t)length);
        return true;
    }
    const uint32_t count = ItemCount();
    const uint32_t fileSize = Field(OFS_FILE_SIZE);
    const uint32_t dataEnd = Field(OFS_DATA_END);
    if (count >= CFG_MAX_ITEMS || (uint64_t)fileSize + (uint32_t)length > CFG_MAX_FILE_SIZE)
        return false;
    // dwDataEnd never exceeds dwFileSize (checked on load), so the new data fits the grown store.
    m_bytes.resize((size_t)fileSize + (size_t)length, 0);
    const size_t entry = ItemOffset(count);
    SetField(entry, id);
    SetField(entry + 4, dataEnd);
    SetField(entry + 8, (uint32_t)length);
    SetField(OFS_ITEM_COUNT, count + 1);
    SetField(OFS_FILE_SIZE, fileSize + (uint32_t)length);
    SetField(OFS_DATA_END, dataEnd + (uint32_t)length);
    if (length > 0)
        memcpy(&m_bytes[dataEnd], data, (size_t)length);
    return true;
}

int CCfgStore::ReadItem(uint32_t id, void* buffer, int bufferSize) const
{
    const int index = FindItem(id);
    if (index < 0 || !buffer || bufferSize < 0)
        return 0;
    const size_t entry = ItemOffset((uint32_t)index);
    const uint32_t length = Field(entry + 8);
    if (length > (uint32_t)bufferSize)
        return 0;
    if (length > 0)
        memcpy(buffer, &m_bytes[Field(entry + 4)], length);
    return (int)length;
}
