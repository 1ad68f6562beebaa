#include "settings_store.h"

#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

namespace {

uint32_t At(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | ((uint32_t)bytes[offset + 3] << 24);
}

void Put(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = (uint8_t)(value >> (8 * i));
}

std::vector<uint8_t> Folder(char fill)
{
    return std::vector<uint8_t>(520, (uint8_t)fill);
}

// A store holding items 5 (520 bytes) and 9 (4 bytes), reset.
std::vector<uint8_t> TwoItemStore()
{
    CCfgStore store;
    store.SetVersion(CFG_VERSION);
    const std::vector<uint8_t> folder = Folder('a');
    store.WriteItem(5, folder.data(), 520);
    store.WriteItem(9, "abcd", 4);
    return store.Bytes();
}

}  // namespace

TEST(CfgStore, EmptyStoreLayout)
{
    const CCfgStore empty;
    const std::vector<uint8_t>& bytes = empty.Bytes();
    ASSERT_EQ(bytes.size(), 1228u);
    EXPECT_EQ(At(bytes, 0), 0u);  // version: only a reset sets it
    EXPECT_EQ(At(bytes, 4), 0u);
    EXPECT_EQ(At(bytes, 8), 1228u);
    EXPECT_EQ(At(bytes, 12), 100u);
    EXPECT_EQ(At(bytes, 16), 1228u);
    EXPECT_EQ(std::string((const char*)&bytes[20], 8), std::string("qrncfg\0\0", 8));
}

TEST(CfgStore, WritingItemFiveTwiceKeepsOneEntryAndReplacesThePath)
{
    CCfgStore store;
    const std::vector<uint8_t> first = Folder('x'), second = Folder('y');
    ASSERT_TRUE(store.WriteItem(5, first.data(), 520));
    ASSERT_EQ(store.Bytes().size(), 1748u);
    EXPECT_EQ(store.ItemCount(), 1u);
    EXPECT_EQ(At(store.Bytes(), 28), 5u);
    EXPECT_EQ(At(store.Bytes(), 32), 1228u);
    EXPECT_EQ(At(store.Bytes(), 36), 520u);

    ASSERT_TRUE(store.WriteItem(5, second.data(), 520));
    EXPECT_EQ(store.Bytes().size(), 1748u);
    EXPECT_EQ(store.ItemCount(), 1u);
    std::vector<uint8_t> read(520);
    EXPECT_EQ(store.ReadItem(5, read.data(), 520), 520);
    EXPECT_EQ(read, second);
}

TEST(CfgStore, ReadingIntoTooSmallBufferOrMissingItemGivesZero)
{
    const std::vector<uint8_t> file = TwoItemStore();
    CCfgStore store;
    store.Load(file.data(), file.size());
    std::vector<uint8_t> buffer(520);
    EXPECT_EQ(store.ReadItem(5, buffer.data(), 260), 0);
    EXPECT_EQ(store.ReadItem(6, buffer.data(), 520), 0);
    EXPECT_EQ(store.ReadItem(5, nullptr, 520), 0);
    EXPECT_EQ(store.ReadItem(9, buffer.data(), 4), 4);
    EXPECT_EQ(memcmp(buffer.data(), "abcd", 4), 0);
}

TEST(CfgStore, FullDirectoryRefusesNewIdButStillOverwrites)
{
    CCfgStore store;
    for (uint32_t id = 1; id <= 100; ++id)
        ASSERT_TRUE(store.WriteItem(id, &id, 4));
    const std::vector<uint8_t> before = store.Bytes();
    const uint32_t extra = 101;
    EXPECT_FALSE(store.WriteItem(extra, &extra, 4));
    EXPECT_EQ(store.Bytes(), before);
    const uint32_t changed = 7777;
    EXPECT_TRUE(store.WriteItem(50, &changed, 4));
    uint32_t read = 0;
    EXPECT_EQ(store.ReadItem(50, &read, 4), 4);
    EXPECT_EQ(read, changed);
}

TEST(CfgStore, AnItemNeverGrowsIntoItsNeighbour)
{
    const std::vector<uint8_t> file = TwoItemStore();
    CCfgStore store;
    store.Load(file.data(), file.size());
    const std::vector<uint8_t> before = store.Bytes();
    const std::vector<uint8_t> longer(600, 'z');
    EXPECT_FALSE(store.WriteItem(5, longer.data(), 600));
    EXPECT_EQ(store.Bytes(), before);
    EXPECT_FALSE(store.WriteItem(3, nullptr, 10));
    EXPECT_FALSE(store.WriteItem(3, "x", -1));
}

TEST(CfgStore, LoadKeepsASoundStoreAndIgnoresBytesAfterIt)
{
    std::vector<uint8_t> file = TwoItemStore();
    const size_t storeSize = file.size();
    file.insert(file.end(), 50, 0xEE);  // trailing bytes beyond dwFileSize
    CCfgStore store;
    store.Load(file.data(), file.size());
    EXPECT_EQ(store.Bytes().size(), storeSize);
    EXPECT_EQ(store.ItemCount(), 2u);
    EXPECT_TRUE(CCfgStore::IsValid(file.data(), file.size()));
}

TEST(CfgStore, VersionDecidesValidity)
{
    std::vector<uint8_t> file = TwoItemStore();
    for (uint32_t version : {0x00010001u, 0x0001FFFFu, 0x00010000u}) {
        Put(file, 0, version);
        EXPECT_TRUE(CCfgStore::IsValid(file.data(), file.size())) << std::hex << version;
    }
    for (uint32_t version : {0u, 0x00020001u, 0x00000001u}) {
        Put(file, 0, version);
        EXPECT_FALSE(CCfgStore::IsValid(file.data(), file.size())) << std::hex << version;
    }
    Put(file, 0, 0);
    EXPECT_TRUE(CCfgStore::IsSound(file.data(), file.size()));  // never reset, still a store
}

// Files that carry the tag but are not stores read as empty, and are never read outside.
TEST(CfgStore, DamagedOrForeignFilesReadAsEmpty)
{
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"exactly 40 bytes", [](std::vector<uint8_t>& f) { f.resize(40); }},
        {"other tag", [](std::vector<uint8_t>& f) { memcpy(&f[20], "qrncfh", 6); }},
        {"tag without terminator", [](std::vector<uint8_t>& f) { memcpy(&f[20], "qrncfgXY", 8); }},
        {"shorter than an empty store", [](std::vector<uint8_t>& f) { f.resize(1000); }},
        {"dwFileSize beyond the file", [](std::vector<uint8_t>& f) { Put(f, 8, (uint32_t)f.size() + 1); }},
        {"dwFileSize below 1228", [](std::vector<uint8_t>& f) { Put(f, 8, 1227); }},
        {"dwFileSize huge", [](std::vector<uint8_t>& f) { Put(f, 8, 0xFFFFFFF0u); }},
        {"nItemCount above nMaxItems", [](std::vector<uint8_t>& f) { Put(f, 4, 101); }},
        {"nMaxItems not 100", [](std::vector<uint8_t>& f) { Put(f, 12, 200); }},
        {"dwDataEnd beyond the store", [](std::vector<uint8_t>& f) { Put(f, 16, At(f, 8) + 4); }},
        {"dwDataEnd inside an item", [](std::vector<uint8_t>& f) { Put(f, 16, 1228 + 100); }},
        {"item offset inside the directory", [](std::vector<uint8_t>& f) { Put(f, 32, 100); }},
        {"item beyond the store", [](std::vector<uint8_t>& f) { Put(f, 36, 0xFFFFFFFFu); }},
        {"item offset overflowing", [](std::vector<uint8_t>& f) { Put(f, 32 + 12, 0xFFFFFFFEu); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = TwoItemStore();
        c.damage(file);
        EXPECT_FALSE(CCfgStore::IsSound(file.data(), file.size())) << c.name;
        EXPECT_FALSE(CCfgStore::IsValid(file.data(), file.size())) << c.name;
        CCfgStore store;
        store.Load(file.data(), file.size());
        EXPECT_EQ(store.Bytes(), CCfgStore().Bytes()) << c.name;
    }
    CCfgStore store;
    store.Load(nullptr, 0);
    EXPECT_EQ(store.Bytes(), CCfgStore().Bytes());
}
