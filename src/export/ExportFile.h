#pragma once
// Where the bytes of an export go. The program writes to a save file in the target's folder
// that replaces the target only once it is complete; tests put in a device that fails as a
// full disk, a broken write or a failed rename does, to see what the user is told.

#include <QFileDevice>
#include <QString>
#include <cstddef>
#include <functional>
#include <memory>

namespace korvane {

class ExportFile {
public:
    virtual ~ExportFile() = default;
    // Creates the temporary file.
    virtual bool open() = 0;
    // Takes all of the bytes or fails.
    virtual bool write(const char* data, size_t size) = 0;
    // Puts the finished file in the target's place.
    virtual bool commit() = 0;
    // Drops the temporary file; the target stays as it was.
    virtual void discard() = 0;
    // What the last failed call ran into.
    virtual QFileDevice::FileError error() const = 0;
};

// The save file of the program.
std::unique_ptr<ExportFile> makeSaveFile(const QString& path);

// Makes the device every export writes to; nothing restores the save file.
using ExportFileFactory = std::function<std::unique_ptr<ExportFile>(const QString& path)>;
void setExportFileFactory(ExportFileFactory factory);
std::unique_ptr<ExportFile> makeExportFile(const QString& path);

}  // namespace korvane
