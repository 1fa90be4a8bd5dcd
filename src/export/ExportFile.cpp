#include "export/ExportFile.h"

#include <QSaveFile>

namespace korvane {

namespace {

class SaveFile : public ExportFile {
public:
    explicit SaveFile(const QString& path) : m_file(path) {
        // Only a finished file may replace the target: never fall back to writing it in place.
        m_file.setDirectWriteFallback(false);
    }
    bool open() override { return m_file.open(QIODevice::WriteOnly); }
    bool write(const char* data, size_t size) override {
        return m_file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    }
    bool commit() override { return m_file.commit(); }
    void discard() override {
        if (m_file.isOpen()) {
            m_file.cancelWriting();
            m_file.commit();  // after cancelWriting this only removes the temporary file
        }
    }
    QFileDevice::FileError error() const override { return m_file.error(); }

private:
    QSaveFile m_file;
};

ExportFileFactory& factory() {
    static ExportFileFactory current;
    return current;
}

}  // namespace

std::unique_ptr<ExportFile> makeSaveFile(const QString& path) {
    return std::make_unique<SaveFile>(path);
}

void setExportFileFactory(ExportFileFactory f) {
    factory() = std::move(f);
}

std::unique_ptr<ExportFile> makeExportFile(const QString& path) {
    return factory() ? factory()(path) : makeSaveFile(path);
}

}  // namespace korvane
