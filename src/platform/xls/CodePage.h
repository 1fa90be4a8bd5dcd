#pragma once
// Byte text of Excel 5.0/95 workbooks, decoded by the workbook's CODEPAGE through Qt's ICU
// converters. Code page 932 is Windows' CP932 and goes through the program's one CP932
// decoder, which keeps every ASCII byte and has the NEC and IBM extensions (①, 髙).

#include <QString>
#include <QStringDecoder>
#include <cstddef>
#include <cstdint>

namespace korvane::xls {

// The code page assumed when a workbook names none (or one that cannot be decoded).
constexpr int kDefaultCodePage = 1252;

// The converter name for a CODEPAGE value; empty when none is known.
QString codePageConverterName(int codePage);

class CodePageDecoder {
public:
    explicit CodePageDecoder(int codePage = kDefaultCodePage);
    QString decode(const uint8_t* bytes, size_t count) const;
    int codePage() const { return m_codePage; }

private:
    int m_codePage;
    QString m_name;
    bool m_cp932 = false;
};

}  // namespace korvane::xls
