#include "output_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

qrn_string W(const std::string& ascii)
{
    return qrn_string(ascii.begin(), ascii.end());
}

std::string Narrow(const qrn_string& text)
{
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST(BuildOutputPath, NamingRule)
{
    struct Case {
        const char* pdf;
        std::string folder;
        const char* extension;
        const char* expected;  // null: no output path
        std::string folderAfter;
    };
    const Case cases[] = {
        {"C:\\docs\\report.pdf", "D:\\out", ".docx", "D:\\out\\report.docx", "D:\\out\\"},
        {"C:\\docs\\report.pdf", "D:\\out", ".txt", "D:\\out\\report.txt", "D:\\out\\"},
        {"C:\\docs\\report.pdf", "D:\\out\\", ".docx", "D:\\out\\report.docx", "D:\\out\\"},
        {"C:\\docs\\report.pdf", "D:/out/", ".docx", "D:/out/report.docx", "D:/out/"},
        {"C:\\docs\\x.pdf.pdf", "D:\\out", ".docx", "D:\\out\\x.pdf.docx", "D:\\out\\"},
        {"C:\\docs\\abcdefg", "D:\\out", ".docx", "D:\\out\\abc.docx", "D:\\out\\"},
        {"C:\\docs\\REPORT.PDF", "D:\\out", ".docx", "D:\\out\\REPORT.docx", "D:\\out\\"},
        // No output folder set: next to the PDF.
        {"C:\\docs\\report.pdf", "", ".txt", "C:\\docs\\report.txt", ""},
        // Names too short to lose four characters keep their whole name.
        {"C:\\docs\\ab", "D:\\out", ".docx", "D:\\out\\ab.docx", "D:\\out\\"},
        {"C:\\docs\\abcd", "D:\\out", ".docx", "D:\\out\\abcd.docx", "D:\\out\\"},
        {"C:\\docs\\abcde", "D:\\out", ".docx", "D:\\out\\a.docx", "D:\\out\\"},
        // No backslash or no file name: nothing to write.
        {"report.pdf", "D:\\out", ".docx", nullptr, "D:\\out"},
        {"C:/docs/report.pdf", "D:\\out", ".docx", nullptr, "D:\\out"},
        {"C:\\docs\\", "D:\\out", ".docx", nullptr, "D:\\out"},
        {"", "D:\\out", ".docx", nullptr, "D:\\out"},
        // A folder that fills its buffer has no room for the backslash.
        {"C:\\a\\report.pdf", std::string(259, 'f'), ".docx", nullptr, std::string(259, 'f')},
    };
    for (const Case& c : cases) {
        qrn_wchar folder[OUTPUT_DIR_CHARS] = {};
        const qrn_string f = W(c.folder);
        std::copy(f.begin(), f.end(), folder);
        qrn_string path = W("untouched");
        const bool built = BuildOutputPath(W(c.pdf).c_str(), folder, W(c.extension).c_str(), &path);
        EXPECT_EQ(built, c.expected != nullptr) << c.pdf;
        if (c.expected)
            EXPECT_EQ(Narrow(path), c.expected) << c.pdf;
        else
            EXPECT_EQ(Narrow(path), "untouched") << c.pdf;
        EXPECT_EQ(Narrow(folder), c.folderAfter) << c.pdf;
    }
}

TEST(BuildOutputPath, LongFolderAndNullArguments)
{
    // 258 characters take the backslash; the path itself may then be long (the file system decides).
    qrn_wchar folder[OUTPUT_DIR_CHARS] = {};
    std::fill(folder, folder + 258, 'f');
    qrn_string path;
    EXPECT_TRUE(BuildOutputPath(W("C:\\a\\report.pdf").c_str(), folder, W(".txt").c_str(), &path));
    EXPECT_EQ(Narrow(path), std::string(258, 'f') + "\\report.txt");

    qrn_wchar unterminated[OUTPUT_DIR_CHARS];
    std::fill(unterminated, unterminated + OUTPUT_DIR_CHARS, 'g');
    EXPECT_FALSE(BuildOutputPath(W("C:\\a\\r.pdf").c_str(), unterminated, W(".txt").c_str(), &path));
    EXPECT_FALSE(BuildOutputPath(nullptr, folder, W(".txt").c_str(), &path));
    EXPECT_FALSE(BuildOutputPath(W("C:\\a\\r.pdf").c_str(), nullptr, W(".txt").c_str(), &path));
    EXPECT_FALSE(BuildOutputPath(W("C:\\a\\r.pdf").c_str(), folder, W(".txt").c_str(), nullptr));
}
