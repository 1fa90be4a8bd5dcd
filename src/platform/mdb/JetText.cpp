#include "platform/mdb/JetText.h"

#include <QByteArray>
#include <QStringDecoder>

#include "platform/mdb/MdbValueDecoder.h"
#include "text/Cp932.h"

namespace korvane {

namespace {

constexpr int kJapaneseCodePage = 932;

// ICU's converter for a Windows code page, under the names ICU knows it by; null when there is
// none.
std::shared_ptr<QStringDecoder> codePageDecoder(int codePage) {
    for (const char* prefix : {"windows-", "cp", "ibm-"}) {
        const QByteArray name = QByteArray(prefix) + QByteArray::number(codePage);
        auto decoder =
            std::make_shared<QStringDecoder>(name.constData(), QStringConverter::Flag::Stateless);
        if (decoder->isValid()) {
            return decoder;
        }
    }
    return nullptr;
}

}  // namespace

JetText::JetText() = default;

JetText::JetText(int jetVersion, int codePage) : m_jet3(jetVersion == 0) {
    if (!m_jet3) {
        return;
    }
    m_codePage = kJapaneseCodePage;
    if (codePage > 0 && codePage != kJapaneseCodePage) {
        if (auto decoder = codePageDecoder(codePage)) {
            m_codePage = codePage;
            m_decoder = std::move(decoder);
        }
    }
}

QString JetText::codePageText(const char* data, size_t size) const {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    if (!m_decoder) {
        return decodeCp932(bytes);
    }
    m_decoder->resetState();
    return m_decoder->decode(bytes);
}

QString JetText::name(const char* data, size_t size) const {
    if (!m_jet3) {
        return QString::fromUtf8(data, static_cast<qsizetype>(size));
    }
    return codePageText(data, size);
}

QString JetText::value(const char* data, size_t size) const {
    if (!m_jet3) {
        return decodeJetText(data, size);
    }
    return codePageText(data, size);
}

}  // namespace korvane
