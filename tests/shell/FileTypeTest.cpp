#include <gtest/gtest.h>

#include "shell/ProgramState.h"

namespace korvane {
namespace {

struct FileTypeCase {
    const char* path;
    FileType expected;
};

TEST(GetFileType, TakesTheLastThreeCharactersInAnyCase) {
    const FileTypeCase cases[] = {
        {"C:\\data\\SALES.CSV", kFileCsv},
        {"C:\\data\\notes.TxT", kFileTxt},
        {"C:\\a\\b.mdb", kFileDatabase},
        {"C:\\a\\b.xls", kFileExcel},
        {"/home/u/data/sales.csv", kFileCsv},
        {".csv", kFileNone},  // four characters or fewer
        {"a.csv", kFileCsv},
        {"csv", kFileNone},
        {"", kFileNone},
        {"C:\\data\\reportcsv", kFileCsv},  // no dot needed
        {"C:\\data\\book.xlsx", kFileNone},
        {"C:\\data\\page.html", kFileNone},
        {"/tmp/x.MdB", kFileDatabase},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetFileType(QString::fromUtf8(c.path)), c.expected) << c.path;
    }
}

}  // namespace
}  // namespace korvane
