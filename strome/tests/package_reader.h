// Reads a zip archive back for the tests: the central directory, each entry's local header,
// inflated data checked against the CRC. Independent of the writer's own zip code.
#ifndef MORVANE_STROME_TESTS_PACKAGE_READER_H
#define MORVANE_STROME_TESTS_PACKAGE_READER_H

#include <map>
#include <string>
#include <vector>

struct PackageEntry {
    std::string data;
    int method = 0;
};

struct Package {
    bool ok = false;
    std::string error;
    std::vector<std::string> names;  // in central-directory order
    std::map<std::string, PackageEntry> entries;

    bool Has(const std::string& name) const { return entries.count(name) != 0; }
    const std::string& Part(const std::string& name) const;
};

Package ReadPackageBytes(const std::string& bytes);
Package ReadPackageFile(const std::string& path);
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
// Names of the files in a folder (not recursive).
std::vector<std::string> FolderEntries(const std::string& folder);

// Number of times needle occurs in haystack.
size_t CountOf(const std::string& haystack, const std::string& needle);

#endif
