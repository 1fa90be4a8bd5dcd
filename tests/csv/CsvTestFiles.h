#pragma once
// Writes test input files into a temporary folder.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace korvane {

class CsvTestFiles {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
        }
        return path;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

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
