// A disk that fills up while Save writes: the file-size limit of the process makes writes
// fail past a point, as a full disk does. The old file under the target name must survive.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "package_reader.h"
#include "test_paths.h"
#include "writer_calls.h"

namespace {

TEST(SaveFailure, FullDiskKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    const std::string folder = TestScratchFolder("disk_full");
    const std::string path = folder + "out.docx";
    qrn_IDocx* doc = CreateDocument(path);
    ASSERT_NE(doc, nullptr);
    for (int i = 0; i < 2000; ++i) {
        qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
        AddRun(para,
               QFromUtf8("paragraph " + std::to_string(i) + " with some text that varies " + std::to_string(i * 7919)));
        para->Release();
    }
    // A first Save completes the document; then an older file stands under the target name.
    ASSERT_NE(doc->Save(), 0);
    FILE* old = std::fopen(path.c_str(), "wb");
    ASSERT_NE(old, nullptr);
    std::fputs("old", old);
    std::fclose(old);

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);  // a failed write instead of a signal
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int saved_ok = doc->Save();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(saved_ok, 0);
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"out.docx"});

    EXPECT_NE(doc->Save(), 0);  // with room again the same document saves
    Docx_Delete(doc);
    EXPECT_TRUE(ReadPackageFile(path).ok);
}

}  // namespace
