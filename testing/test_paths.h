// Where a test finds the project's checked-in test data and its own build output.
#ifndef MORVANE_TESTING_TEST_PATHS_H
#define MORVANE_TESTING_TEST_PATHS_H

#include <string>

// A path below the source tree ("testdata/pdf/x.pdf"), in the form the running program uses:
// a Unix path natively, a Windows path (Z:\...) under Wine.
std::string TestSourcePath(const std::string& relative);
// Folder of the test programs and of the DLLs built with them, with a trailing separator.
std::string TestBinFolder();
// A fresh empty scratch folder for one test, with a trailing separator.
std::string TestScratchFolder(const std::string& name);

#ifdef _WIN32
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
std::wstring TestSourcePathW(const std::string& relative);
std::wstring TestScratchFolderW(const std::string& name);
#endif

#endif
