#include "platform/process/ReaderProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include "platform/process/FrameProtocol.h"

namespace korvane {

ReaderProcess::ReaderProcess(QString executableName, const FailureTexts& texts,
                             QByteArray quitRequest)
    : m_executableName(std::move(executableName)),
      m_texts(texts),
      m_quitRequest(std::move(quitRequest)) {}

ReaderProcess::~ReaderProcess() {
    stop();
}

QString ReaderProcess::executablePath(const QString& executableName) {
    QStringList folders;
    if (QCoreApplication::instance() != nullptr) {
        folders << QCoreApplication::applicationDirPath();
    }
    const QString binDir = qEnvironmentVariable("KORVANE_BIN_DIR");
    if (!binDir.isEmpty()) {
        folders << binDir;
    }
    for (const QString& folder : folders) {
        const QFileInfo candidate(folder + QLatin1Char('/') + executableName);
        if (candidate.isFile() && candidate.isExecutable()) {
            return candidate.absoluteFilePath();
        }
    }
    return {};
}

Status ReaderProcess::start() {
    stop();
    m_failure.reset();
    m_buffer.clear();
    m_pos = 0;
    const QString program = executablePath(m_executableName);
    if (program.isEmpty()) {
        return fail(ReaderFault::NotFound, {m_executableName});
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start(QIODevice::ReadWrite);
    if (!m_process->waitForStarted(kNoProgressMs)) {
        return fail(ReaderFault::CannotStart, {m_executableName});
    }
    return Done{};
}

bool ReaderProcess::running() const {
    return m_process && !m_failure && m_process->state() == QProcess::Running;
}

bool ReaderProcess::send(const QByteArray& request) {
    if (!running()) {
        return false;
    }
    return m_process->write(request) == request.size();
}

Failure ReaderProcess::fail(ReaderFault fault, QStringList details) {
    if (!m_failure) {
        m_failure = Failure(m_texts, fault, std::move(details));
    }
    if (m_process) {
        m_process->kill();
        m_process->waitForFinished(1000);
        m_process.reset();
    }
    return *m_failure;
}

Failure ReaderProcess::sendFailure() {
    Result<Frame> frame = readFrame();
    return frame ? rejectReply() : frame.takeFailure();
}

Failure ReaderProcess::rejectReply() {
    return fail(ReaderFault::Garbled);
}

Status ReaderProcess::fill(qsizetype needed) {
    QElapsedTimer quiet;
    quiet.start();
    while (m_buffer.size() - m_pos < needed) {
        if (m_pos > 0 && m_pos >= m_buffer.size() / 2) {
            m_buffer.remove(0, m_pos);
            m_pos = 0;
        }
        if (m_process->bytesAvailable() > 0) {
            m_buffer.append(m_process->readAll());
            quiet.restart();
            continue;
        }
        if (m_process->state() != QProcess::Running) {
            return fail(ReaderFault::Crashed);
        }
        const qint64 left = kNoProgressMs - quiet.elapsed();
        if (left <= 0) {
            return fail(ReaderFault::Stalled, {QString::number(kNoProgressMs / 1000)});
        }
        m_process->waitForReadyRead(static_cast<int>(left));
    }
    return Done{};
}

Result<ReaderProcess::Frame> ReaderProcess::readFrame() {
    if (m_failure) {
        return *m_failure;
    }
    if (!m_process) {
        return fail(ReaderFault::NotRunning);
    }
    constexpr auto header = static_cast<qsizetype>(frameproto::kFrameHeader);
    if (Status filled = fill(header); !filled) {
        return filled.takeFailure();
    }
    frameproto::PayloadReader head(m_buffer.constData() + m_pos, frameproto::kFrameHeader);
    Frame frame;
    frame.kind = static_cast<char>(head.u8());
    const uint32_t size = head.u32();
    if (size > frameproto::kMaxFrame) {
        return fail(ReaderFault::Garbled);
    }
    if (Status filled = fill(header + static_cast<qsizetype>(size)); !filled) {
        return filled.takeFailure();
    }
    frame.payload = m_buffer.mid(m_pos + header, size);
    m_pos += header + static_cast<qsizetype>(size);
    return frame;
}

void ReaderProcess::stop() {
    if (!m_process) {
        return;
    }
    if (m_process->state() == QProcess::Running) {
        m_process->write(m_quitRequest);
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(500)) {
            m_process->kill();
            m_process->waitForFinished(1000);
        }
    }
    m_process.reset();
}

}  // namespace korvane
