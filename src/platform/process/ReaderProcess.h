#pragma once
// The viewer's side of a reader helper process (korvane-mdb-reader, korvane-xls-reader): starts
// the helper beside the running executable, sends requests and reads reply frames. The helper's
// death, a reply that makes no progress for kNoProgressMs, or a garbled frame ends the helper
// and becomes a ReaderFault, told in the words the owner of the helper chose.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "platform/Result.h"

class QProcess;

namespace korvane {

// Why a helper gave no reply. The owner's table (a FailureTable<ReaderFault>) says it in its
// own words: NotFound and CannotStart get the executable's name as %1, Stalled the silence in
// seconds.
enum class ReaderFault { NotFound, CannotStart, Crashed, Stalled, Garbled, NotRunning };

class ReaderProcess {
public:
    // Long enough for any sound read to show a row or a reply; short enough that a damaged
    // file tried with both providers still ends in a message within ten seconds.
    static constexpr int kNoProgressMs = 3000;

    ReaderProcess(QString executableName, const FailureTexts& texts, QByteArray quitRequest);
    virtual ~ReaderProcess();
    ReaderProcess(const ReaderProcess&) = delete;
    ReaderProcess& operator=(const ReaderProcess&) = delete;

    // Where a helper is: beside the running executable, else in env KORVANE_BIN_DIR.
    static QString executablePath(const QString& executableName);

    // Starts the helper.
    Status start();
    bool running() const;

    // Sends one request. False once the helper is gone (the next read reports why).
    bool send(const QByteArray& request);
    // Why a send failed: the end of the helper as the next read finds it (Garbled should a
    // reply still come).
    Failure sendFailure();

    struct Frame {
        char kind = 0;
        QByteArray payload;
    };
    // The next reply frame, or why none came. After a failure the helper is stopped and every
    // later call fails the same way.
    Result<Frame> readFrame();

    // Ends the helper because a reply made no sense; this and later calls give Garbled.
    Failure rejectReply();

    // Asks the helper to end, and ends it if it does not.
    void stop();

private:
    Status fill(qsizetype needed);
    // Ends the helper; the first failure stays the answer to every later call.
    Failure fail(ReaderFault fault, QStringList details = {});

    QString m_executableName;
    const FailureTexts& m_texts;
    QByteArray m_quitRequest;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    std::optional<Failure> m_failure;
};

}  // namespace korvane
