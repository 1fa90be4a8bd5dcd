#pragma once
// Text as a database file stores it, turned into characters. A Jet 4 file holds Unicode
// (UTF-16, or its compressed one-byte form). A Jet 3 file holds bytes in the code page of the
// machine that wrote it, which the file's header records (932 Japanese, 1252 Western, ...):
// names, column names, values and query definitions alike are decoded with that code page.
// A header that records none (0), or one that cannot be converted, is read as CP932, the code
// page of this program's users.

#include <QString>
#include <cstddef>
#include <memory>

class QStringDecoder;

namespace korvane {

class JetText {
public:
    // A Jet 4 file.
    JetText();
    // `jetVersion` 0 is Jet 3, read in `codePage`; anything else is read as Jet 4.
    JetText(int jetVersion, int codePage);

    // An object or column name as the reader process sends it (UTF-8 from a Jet 4 file, the
    // stored bytes from a Jet 3 file).
    QString name(const char* data, size_t size) const;
    // A Text or Memo value as stored.
    QString value(const char* data, size_t size) const;
    // The code page Jet 3 text is read in (0 for a Jet 4 file).
    int codePage() const { return m_codePage; }

private:
    QString codePageText(const char* data, size_t size) const;

    bool m_jet3 = false;
    int m_codePage = 0;
    // Code pages other than 932, through ICU; null for CP932 and Jet 4.
    std::shared_ptr<QStringDecoder> m_decoder;
};

}  // namespace korvane
