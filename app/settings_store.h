// The settings store as bytes: the in-memory image of morvane.cfg and the rules that decide
// whether a file is a sound store. No file access here, so the byte logic runs anywhere.
//
// File layout (little-endian, no gaps):
//   0 dwVersion   4 nItemCount   8 dwFileSize   12 nMaxItems   16 dwDataEnd   20 szTag[8] "qrncfg"
//   28 directory of 100 entries {nId, dwOffset, dwLength}   1228 item data
#ifndef MORVANE_APP_SETTINGS_STORE_H
#define MORVANE_APP_SETTINGS_STORE_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

enum : uint32_t {
    CFG_VERSION = 0x00010001,  // what a reset store carries; valid when the high half is 1
    CFG_MAX_ITEMS = 100,
    CFG_HEADER_SIZE = 28,
    CFG_ITEM_SIZE = 12,
    CFG_EMPTY_SIZE = CFG_HEADER_SIZE + CFG_MAX_ITEMS * CFG_ITEM_SIZE,  // 1228
    CFG_TAG_PROBE_SIZE = 40,  // a file must be longer than this to be looked at
    CFG_MAX_FILE_SIZE = 16u << 20  // larger files are not ours; they read as empty
};

class CCfgStore {
public:
    // A fresh empty store with dwVersion 0.
    CCfgStore();

    // True when the bytes are a store: the program's tag and a header that agrees with itself
    // and with the file (sizes, item count, every item inside the store).
    static bool IsSound(const uint8_t* bytes, size_t size);
    // True when the bytes are a sound store whose version's high half is 1.
    static bool IsValid(const uint8_t* bytes, size_t size);

    // Takes the file's bytes; anything that is not a sound store gives an empty store.
    void Load(const uint8_t* bytes, size_t size);

    // The whole store, dwFileSize bytes, as it goes back to the file.
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

    uint32_t Version() const;
    void SetVersion(uint32_t version);
    uint32_t ItemCount() const;

    // Adds item id or overwrites it in place. False (store unchanged) when the directory is full,
    // when an existing item would grow, or for bad arguments.
    bool WriteItem(uint32_t id, const void* data, int length);
    // Copies item id into buffer. Its length, or 0 when missing or longer than bufferSize.
    int ReadItem(uint32_t id, void* buffer, int bufferSize) const;

private:
    uint32_t Field(size_t offset) const;
    void SetField(size_t offset, uint32_t value);
    int FindItem(uint32_t id) const;  // directory index or -1

    std::vector<uint8_t> m_bytes;
};

#endif
