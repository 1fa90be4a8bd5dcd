#pragma once
// CSV input for the tests: written into a temporary folder, or generated lines.

#include <QByteArray>

#include "support/TestFiles.h"

namespace korvane {

using CsvTestFiles = testing::TempFiles;

// "line 1\r\nline 2\r\n..." with `count` lines, each `fields` fields wide.
inline QByteArray NumberedLines(int count, int fields = 1) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        for (int f = 0; f < fields; ++f) {
            if (f > 0) {
                bytes += ',';
            }
            bytes += "line " + QByteArray::number(i);
        }
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace korvane
