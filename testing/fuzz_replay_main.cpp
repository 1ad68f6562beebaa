// Replays a fuzz target's seed folder through its entry point, one file after the other, so an
// ordinary test run (under the sanitizers) goes over every input that ever found a fault.
// Usage: <target>_replay FOLDER... ; exit code 0 when every file ran and the first folder had any.
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + n);
    std::fclose(f);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER...\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string folder = std::string(argv[i]) + "/";
        DIR* dir = opendir(folder.c_str());
        if (!dir) {
            std::fprintf(stderr, "no folder %s\n", folder.c_str());
            return 1;
        }
        std::vector<std::string> names;
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        closedir(dir);
        std::sort(names.begin(), names.end());  // the same order on every run
        for (const std::string& name : names) {
            std::vector<uint8_t> bytes;
            if (!ReadWholeFile(folder + name, &bytes)) {
                std::fprintf(stderr, "cannot read %s\n", (folder + name).c_str());
                return 1;
            }
            std::fprintf(stderr, "%s\n", name.c_str());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
