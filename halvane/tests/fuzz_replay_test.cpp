// Replays the fuzzer's seed corpus through the fuzz entry point, so ordinary test runs (under
// the sanitizers) cover the inputs that once found faults.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(FuzzSeeds, EverySeedLoadsOrFailsCleanly)
{
    const std::string folder = TestSourcePath("halvane/fuzz/seeds/");
    DIR* dir = opendir(folder.c_str());
    ASSERT_TRUE(dir);
    int replayed = 0;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        FILE* f = std::fopen((folder + entry->d_name).c_str(), "rb");
        ASSERT_TRUE(f) << entry->d_name;
        std::vector<uint8_t> bytes;
        uint8_t buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0) << entry->d_name;
        ++replayed;
    }
    closedir(dir);
    EXPECT_GT(replayed, 0);
}

}  // namespace
