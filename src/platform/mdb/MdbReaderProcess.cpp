#include "platform/mdb/MdbReaderProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include "platform/mdb/MdbProtocol.h"

namespace korvane {

namespace {

const QString kReaderName = QStringLiteral("korvane-mdb-reader");

}  // namespace

MdbReaderProcess::MdbReaderProcess() = default;

MdbReaderProcess::~MdbReaderProcess() {
    stop();
}

QString MdbReaderProcess::executablePath() {
    QStringList folders;
    if (QCoreApplication::instance() != nullptr) {
        folders << QCoreApplication::applicationDirPath();
    }
    const QString binDir = qEnvironmentVariable("KORVANE_BIN_DIR");
    if (!binDir.isEmpty()) {
        folders << binDir;
    }
    for (const QString& folder : folders) {
        const QFileInfo candidate(folder + QLatin1Char('/') + kReaderName);
        if (candidate.isFile() && candidate.isExecutable()) {
            return candidate.absoluteFilePath();
        }
    }
    return {};
}

std::optional<QString> MdbReaderProcess::start() {
    const QString program = executablePath();
    if (program.isEmpty()) {
        m_failure =
            QStringLiteral("データベース読み取りプログラム(%1)が見つかりません。").arg(kReaderName);
        return m_failure;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start(QIODevice::ReadWrite);
    if (!m_process->waitForStarted(kNoProgressMs)) {
        m_process.reset();
        m_failure =
            QStringLiteral("データベース読み取りプログラム(%1)を起動できません。").arg(kReaderName);
        return m_failure;
    }
    return std::nullopt;
}

bool MdbReaderProcess::running() const {
    return m_process && m_failure.isEmpty() && m_process->state() == QProcess::Running;
}

bool MdbReaderProcess::send(const QByteArray& request) {
    if (!running()) {
        return false;
    }
    return m_process->write(request) == request.size();
}

void MdbReaderProcess::fail(const QString& description, QString* error) {
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

bool MdbReaderProcess::fill(qsizetype needed, QString* error) {
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
            fail(QStringLiteral("データベースの読み取り中に読み取りプログラムが異常終了しました。"
                                "ファイルが壊れている可能性があります。"),
                 error);
            return false;
        }
        const qint64 left = kNoProgressMs - quiet.elapsed();
        if (left <= 0) {
            fail(QStringLiteral("データベースの読み取りが%1秒以上進まなかったため中止しました。"
                                "ファイルが壊れている可能性があります。")
                     .arg(kNoProgressMs / 1000),
                 error);
            return false;
        }
        m_process->waitForReadyRead(static_cast<int>(left));
    }
    return true;
}

std::optional<MdbReaderProcess::Frame> MdbReaderProcess::readFrame(QString* error) {
    if (!m_failure.isEmpty() || !m_process) {
        if (m_failure.isEmpty()) {
            m_failure = QStringLiteral("データベースの読み取りプログラムが動いていません。");
        }
        if (error != nullptr) {
            *error = m_failure;
        }
        return std::nullopt;
    }
    if (!fill(5, error)) {
        return std::nullopt;
    }
    mdbproto::PayloadReader head(m_buffer.constData() + m_pos, 5);
    Frame frame;
    frame.kind = static_cast<char>(head.u8());
    const uint32_t size = head.u32();
    if (size > mdbproto::kMaxFrame) {
        fail(QStringLiteral("データベースの読み取りプログラムから不正な応答がありました。"), error);
        return std::nullopt;
    }
    if (!fill(5 + static_cast<qsizetype>(size), error)) {
        return std::nullopt;
    }
    frame.payload = m_buffer.mid(m_pos + 5, size);
    m_pos += 5 + static_cast<qsizetype>(size);
    return frame;
}

void MdbReaderProcess::stop() {
    if (!m_process) {
        return;
    }
    if (m_process->state() == QProcess::Running) {
        m_process->write(QByteArray(1, mdbproto::kQuit));
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(500)) {
            m_process->kill();
            m_process->waitForFinished(1000);
        }
    }
    m_process.reset();
}

}  // namespace korvane
