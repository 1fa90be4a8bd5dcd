#pragma once
// Every message the CSV area shows. The captions and labels of its dialog stay with the form.

#include <QString>

namespace korvane {

// "ファイル(" + path + ")にはレコードがありません。"
QString NoRecordsMessage(const QString& path);
// Shown once when rows are read after the file was changed where it stands.
QString FileChangedMessage(const QString& path);
// The file could not be counted.
QString CannotReadMessage(const QString& path);
// The display-range dialog's answer to a record count it does not take.
QString RecordCountRangeMessage();
// The progress window's words while the file is counted.
QString CountingProgressMessage();

}  // namespace korvane
