#pragma once
// The viewer's side of a reader helper process (korvane-mdb-reader, korvane-xls-reader): starts
// the helper beside the running executable, sends requests and reads reply frames. The helper's
// death, a reply that makes no progress for kNoProgressMs, or a garbled frame ends the helper
// and turns into a description for the user, in the words the owner of the helper chose.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QProcess;

namespace korvane {

// What the user reads when the helper fails. `stalled` takes the silence in seconds as %1;
// `notFound` and `cannotStart` take the executable's name as %1.
struct ReaderProcessTexts {
    QString notFound;
    QString cannotStart;
    QString crashed;
    QString stalled;
    QString garbled;
    QString notRunning;
};

class ReaderProcess {
public:
    // Long enough for any sound read to show a row or a reply; short enough that a damaged
    // file tried with both providers still ends in a message within ten seconds.
    static constexpr int kNoProgressMs = 3000;

    ReaderProcess(QString executableName, ReaderProcessTexts texts, QByteArray quitRequest);
    virtual ~ReaderProcess();
    ReaderProcess(const ReaderProcess&) = delete;
    ReaderProcess& operator=(const ReaderProcess&) = delete;

    // Where a helper is: beside the running executable, else in env KORVANE_BIN_DIR.
    static QString executablePath(const QString& executableName);

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

    // Ends the helper because a reply made no sense; later calls fail with the garbled text.
    void rejectReply(QString* error);

    // Asks the helper to end, and ends it if it does not.
    void stop();

private:
    bool fill(qsizetype needed, QString* error);
    void fail(const QString& description, QString* error);

    QString m_executableName;
    ReaderProcessTexts m_texts;
    QByteArray m_quitRequest;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    QString m_failure;
};

}  // namespace korvane
