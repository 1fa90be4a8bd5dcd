#include <cmath>

#include "platform/xls/XlsFault.h"
#include "platform/xls/XlsModel.h"
#include "text/ValueText.h"

namespace korvane::xls {

namespace {

// Excel's last date, 9999-12-31, as a serial of the 1900 date system.
constexpr double kLastDateSerial = 2958466.0;
// Days between the 1904 and 1900 date systems' day 0, in OLE days.
constexpr double kDate1904Offset = 1462.0;
constexpr int64_t kSecondsPerDay = 86400;

}  // namespace

QString cellName(int64_t row, int64_t column) {
    QString letters;
    for (int64_t n = column; n > 0; n = (n - 1) / 26) {
        letters.prepend(QChar(u'A' + static_cast<char16_t>((n - 1) % 26)));
    }
    return letters + QString::number(row);
}

QString errorName(uint8_t code) {
    switch (code) {
        case 0x00:
            return QStringLiteral("#NULL!");
        case 0x07:
            return QStringLiteral("#DIV/0!");
        case 0x0F:
            return QStringLiteral("#VALUE!");
        case 0x17:
            return QStringLiteral("#REF!");
        case 0x1D:
            return QStringLiteral("#NAME?");
        case 0x24:
            return QStringLiteral("#NUM!");
        case 0x2A:
            return QStringLiteral("#N/A");
        case 0x2B:
            return QStringLiteral("#GETTING_DATA");
        default:
            return QStringLiteral("#ERROR(%1)").arg(code);
    }
}

QString excelSerialText(double serial, bool date1904) {
    // Before day 0 and after 9999-12-31 Excel shows no date; the number is the honest text.
    const double lastSerial = kLastDateSerial - (date1904 ? kDate1904Offset : 0.0);
    if (!std::isfinite(serial) || serial < 0.0 || serial >= lastSerial) {
        return DoubleText(serial);
    }
    // Excel rounds the serial to whole seconds before it splits off the day, so a time that
    // rounds up to midnight belongs to the next day: 0.99999999 is 1900/01/01.
    const int64_t moment = std::llround(serial * kSecondsPerDay);
    const int64_t day = moment / kSecondsPerDay;
    const int64_t secondOfDay = moment % kSecondsPerDay;
    if (day >= static_cast<int64_t>(lastSerial)) {
        return DoubleText(serial);
    }
    if (day == 0) {
        return OleMomentText(0, secondOfDay);  // a time of day alone
    }
    if (date1904) {
        return OleMomentText(day + static_cast<int64_t>(kDate1904Offset), secondOfDay);
    }
    // The 1900 date system counts a 29 February 1900 that never was (day 60): days before it
    // lie one day later in OLE days, and day 60 itself is shown as Excel shows it.
    if (day < 60) {
        return OleMomentText(day + 1, secondOfDay);
    }
    if (day == 60) {
        const QString text = OleMomentText(61, secondOfDay);  // "1900/03/01[ hh:nn:ss]"
        return QStringLiteral("1900/02/29") + text.mid(10);
    }
    return OleMomentText(day, secondOfDay);
}

Result<QString> cellValueText(const Cell* cell, const SheetCells& sheet,
                              const WorkbookGlobals& globals, int64_t row, int64_t column) {
    if (cell == nullptr) {
        return QString();
    }
    switch (cell->kind) {
        case CellKind::Number: {
            const bool isDate = cell->xf < globals.xfIsDate.size() && globals.xfIsDate[cell->xf];
            return isDate ? excelSerialText(cell->number, globals.date1904)
                          : DoubleText(cell->number);
        }
        case CellKind::Text:
            return cell->index < sheet.texts.size() ? sheet.texts[cell->index] : QString();
        case CellKind::SharedText:
            if (cell->index >= globals.sharedStrings.size()) {
                return Failure{XlsFault::SharedStringMissing,
                               {cellName(row, column), QString::number(cell->index),
                                QString::number(globals.sharedStrings.size())}};
            }
            return globals.sharedStrings[cell->index];
        case CellKind::Boolean:
            return BooleanText(cell->code != 0);
        case CellKind::Error:
            return Failure{XlsFault::ErrorValue, {cellName(row, column), errorName(cell->code)}};
    }
    return QString();
}

}  // namespace korvane::xls
