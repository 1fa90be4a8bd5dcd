#include "platform/process/ReaderProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include "platform/process/FrameProtocol.h"

namespace korvane {

ReaderProcess::ReaderProcess(QString executableName, ReaderProcessTexts texts,
                             QByteArray quitRequest)
    : m_executableName(std::move(executableName)),
      m_texts(std::move(texts)),
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

std::optional<QString> ReaderProcess::start() {
    stop();
    m_failure.clear();
    m_buffer.clear();
    m_pos = 0;
    const QString program = executablePath(m_executableName);
    if (program.isEmpty()) {
        m_failure = m_texts.notFound.arg(m_executableName);
        return m_failure;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start(QIODevice::ReadWrite);
    if (!m_process->waitForStarted(kNoProgressMs)) {
        m_process.reset();
        m_failure = m_texts.cannotStart.arg(m_executableName);
        return m_failure;
    }
    return std::nullopt;
}

bool ReaderProcess::running() const {
    return m_process && m_failure.isEmpty() && m_process->state() == QProcess::Running;
}

bool ReaderProcess::send(const QByteArray& request) {
    if (!running()) {
        return false;
    }
    return m_process->write(request) == request.size();
}

void ReaderProcess::fail(const QString& description, QString* error) {
    if (m_failure.isEmpty()) {
        m_failure = description;
    }
    if (m_process) {
        m_process->kill();
        m_process->waitForFinished(1000);
        m_process.reset();
    }
    if (error != nullptr) {
        *error = m_failure;
    }
}

void ReaderProcess::rejectReply(QString* error) {
    fail(m_texts.garbled, error);
}

bool ReaderProcess::fill(qsizetype needed, QString* error) {
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
            fail(m_texts.crashed, error);
            return false;
        }
        const qint64 left = kNoProgressMs - quiet.elapsed();
        if (left <= 0) {
            fail(m_texts.stalled.arg(kNoProgressMs / 1000), error);
            return false;
        }
        m_process->waitForReadyRead(static_cast<int>(left));
    }
    return true;
}

std::optional<ReaderProcess::Frame> ReaderProcess::readFrame(QString* error) {
    if (!m_failure.isEmpty() || !m_process) {
        if (m_failure.isEmpty()) {
            m_failure = m_texts.notRunning;
        }
        if (error != nullptr) {
            *error = m_failure;
        }
        return std::nullopt;
    }
    constexpr auto header = static_cast<qsizetype>(frameproto::kFrameHeader);
    if (!fill(header, error)) {
        return std::nullopt;
    }
    frameproto::PayloadReader head(m_buffer.constData() + m_pos, frameproto::kFrameHeader);
    Frame frame;
    frame.kind = static_cast<char>(head.u8());
    const uint32_t size = head.u32();
    if (size > frameproto::kMaxFrame) {
        fail(m_texts.garbled, error);
        return std::nullopt;
    }
    if (!fill(header + static_cast<qsizetype>(size), error)) {
        return std::nullopt;
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
