#pragma once
// The viewer's side of korvane-mdb-reader: starts the helper beside the running executable,
// sends requests and reads reply frames. The helper's death, a reply that makes no progress for
// kNoProgressMs, or a garbled frame ends the helper and turns into a description for the user.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QProcess;

namespace korvane {

class MdbReaderProcess {
public:
    // Long enough for any sound read to show a row or a reply; short enough that a damaged
    // file tried with both providers still ends in a message within ten seconds.
    static constexpr int kNoProgressMs = 3000;

    MdbReaderProcess();
    ~MdbReaderProcess();
    MdbReaderProcess(const MdbReaderProcess&) = delete;
    MdbReaderProcess& operator=(const MdbReaderProcess&) = delete;

    // Where the helper is: beside the running executable, else in env KORVANE_BIN_DIR.
    static QString executablePath();

    // Starts the helper; a description when it cannot be started.
    std::optional<QString> start();
    bool running() const;

    // Sends one request. False once the helper is gone (the next read reports why).
    bool send(const QByteArray& request);

    struct Frame {
        char kind = 0;
        QByteArray payload;
    };
    // The next reply frame, or a description of why none came. After a failure the helper is
    // stopped and every later call fails the same way.
    std::optional<Frame> readFrame(QString* error);

    // Asks the helper to end, and ends it if it does not.
    void stop();

private:
    bool fill(qsizetype needed, QString* error);
    void fail(const QString& description, QString* error);

    std::unique_ptr<QProcess> m_process;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    QString m_failure;
};

}  // namespace korvane
