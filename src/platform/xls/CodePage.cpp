#include "platform/xls/CodePage.h"

#include <QByteArrayView>

#include "text/Cp932.h"

namespace korvane::xls {

namespace {

bool decodable(const QString& name) {
    return QStringDecoder(name.toLatin1().constData()).isValid();
}

}  // namespace

QString codePageConverterName(int codePage) {
    switch (codePage) {
        case 367:
            return QStringLiteral("US-ASCII");
        case 720:
            return QStringLiteral("ibm-720");
        case 932:
        case 10001:
            return QStringLiteral("windows-31j");  // Mac Japanese is near enough
        case 936:
            return QStringLiteral("GBK");
        case 949:
            return QStringLiteral("windows-949");
        case 950:
            return QStringLiteral("windows-950");
        case 1200:
        case 21010:
            return QStringLiteral("UTF-16LE");
        case 10000:
        case 32768:
            return QStringLiteral("macintosh");
        case 10006:
            return QStringLiteral("x-mac-greek");
        case 10007:
            return QStringLiteral("x-mac-cyrillic");
        case 10029:
            return QStringLiteral("x-mac-centraleurroman");
        case 10081:
            return QStringLiteral("x-mac-turkish");
        case 32769:
            return QStringLiteral("windows-1252");
        default:
            break;
    }
    if (codePage >= 1250 && codePage <= 1258) {
        return QStringLiteral("windows-%1").arg(codePage);
    }
    if (codePage > 0 && codePage < 1000) {
        const QString name = QStringLiteral("cp%1").arg(codePage);
        if (decodable(name)) {
            return name;
        }
    }
    return QString();
}

CodePageDecoder::CodePageDecoder(int codePage) : m_codePage(codePage) {
    m_name = codePageConverterName(codePage);
    if (m_name.isEmpty() || !decodable(m_name)) {
        m_codePage = kDefaultCodePage;
        m_name = codePageConverterName(kDefaultCodePage);
    }
    m_cp932 = m_name == QLatin1String("windows-31j");
}

QString CodePageDecoder::decode(const uint8_t* bytes, size_t count) const {
    const QByteArrayView view(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(count));
    if (m_cp932) {
        return decodeCp932(view);  // the same characters as every other CP932 text shows
    }
    QStringDecoder decoder(m_name.toLatin1().constData(), QStringConverter::Flag::Stateless);
    return decoder.decode(view);
}

}  // namespace korvane::xls
