#include <gtest/gtest.h>

#include <QByteArray>
#include <cstring>

#include "platform/mdb/DataAccess.h"
#include "platform/mdb/DbValueText.h"
#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/MdbReplies.h"
#include "platform/mdb/MdbValueDecoder.h"

namespace korvane {
namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

QByteArray doubleBytes(double d) {
    QByteArray out(8, '\0');
    memcpy(out.data(), &d, 8);
    return out;
}

QByteArray utf16(const QString& s) {
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

struct DecodeCase {
    const char* what;
    int type;
    int scale;
    QByteArray raw;
    DbValue::Kind kind;
    QString text;
};

TEST(MdbValueDecoding, EveryTypeGetsItsTextForm) {
    const DecodeCase cases[] = {
        {"yes", kMdbBool, 0, bytes({1}), DbValue::Kind::Boolean, "True"},
        {"no", kMdbBool, 0, bytes({0}), DbValue::Kind::Boolean, "False"},
        {"byte above 127", kMdbByte, 0, bytes({200}), DbValue::Kind::Integer, "200"},
        {"negative integer", kMdbInt, 0, bytes({0xFE, 0xFF}), DbValue::Kind::Integer, "-2"},
        {"smallest long", kMdbLong, 0, bytes({0, 0, 0, 0x80}), DbValue::Kind::Integer,
         "-2147483648"},
        {"currency", kMdbMoney, 0, bytes({0xD2, 0x04, 0, 0, 0, 0, 0, 0}), DbValue::Kind::Currency,
         "0.1234"},
        {"largest currency", kMdbMoney, 0, bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
         DbValue::Kind::Currency, "922337203685477.5807"},
        {"single 0.3 stays short", kMdbFloat, 0, bytes({0x9A, 0x99, 0x99, 0x3E}),
         DbValue::Kind::Real, "0.3"},
        {"double", kMdbDouble, 0, doubleBytes(0.1), DbValue::Kind::Real, "0.1"},
        {"big double", kMdbDouble, 0, doubleBytes(1e20), DbValue::Kind::Real, "1E+20"},
        {"date before 1899", kMdbDateTime, 0, doubleBytes(-36522.25), DbValue::Kind::DateTime,
         "1800/01/01 06:00:00"},
        {"time without a date", kMdbDateTime, 0, doubleBytes(0.3541666666666667),
         DbValue::Kind::DateTime, "08:30:00"},
        {"plain unicode text", kMdbText, 0, utf16(QStringLiteral("東京")), DbValue::Kind::Text,
         QStringLiteral("東京")},
        {"compressed text", kMdbText, 0, bytes({0xFF, 0xFE, 'a', ',', 'b'}), DbValue::Kind::Text,
         "a,b"},
        {"compressed run switching to two bytes", kMdbMemo, 0,
         bytes({0xFF, 0xFE, 'x', 0, 0x71, 0x67, 0, 'y'}), DbValue::Kind::Text,
         QStringLiteral("x東y")},
        {"zero-length text", kMdbText, 0, QByteArray(), DbValue::Kind::Text, ""},
        {"guid keeps every hyphen", kMdbGuid, 0,
         bytes({0x2B, 0x4A, 0x5E, 0x6A, 0x3D, 0x1C, 0x5F, 0x4E, 0x8A, 0x9B, 0x0C, 0x1D, 0x2E, 0x3F,
                0x4A, 0x5B}),
         DbValue::Kind::Guid, "{6A5E4A2B-1C3D-4E5F-8A9B-0C1D2E3F4A5B}"},
        {"negative decimal", kMdbNumeric, 4,
         bytes({0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0x4B, 0x9B, 0xB6, 0x01, 0x4E, 0xF3, 0x30, 0xA6}),
         DbValue::Kind::Decimal, "-12345678901234.5678"},
        {"binary with zero bytes", kMdbBinary, 0, bytes({0, 1, 2, 0, 0x41}), DbValue::Kind::Binary,
         QStringLiteral("(バイナリ 5 バイト)")},
        {"empty OLE object", kMdbOle, 0, QByteArray(), DbValue::Kind::Binary,
         QStringLiteral("(バイナリ 0 バイト)")},
        // A value whose size does not fit its type is kept as bytes, never read past its end.
        {"long of three bytes", kMdbLong, 0, bytes({1, 2, 3}), DbValue::Kind::Binary,
         QStringLiteral("(バイナリ 3 バイト)")},
        {"decimal with a scale beyond 28", kMdbNumeric, 40, QByteArray(17, '\0'),
         DbValue::Kind::Binary, QStringLiteral("(バイナリ 17 バイト)")},
    };
    for (const DecodeCase& c : cases) {
        const DbValue v =
            decodeMdbValue(c.type, c.scale, c.raw.constData(), static_cast<size_t>(c.raw.size()));
        EXPECT_EQ(v.kind, c.kind) << c.what;
        EXPECT_EQ(DbValueText(v), c.text) << c.what;
    }
}

TEST(MdbValueDecoding, NullHasEmptyText) {
    EXPECT_EQ(DbValueText(DbValue()), QString());
}

TEST(MdbValueDecoding, CompressedTextCutInHalfACharacterStops) {
    const QByteArray raw = bytes({0xFF, 0xFE, 'a', 0, 0x71});
    EXPECT_EQ(decodeJetText(raw.constData(), static_cast<size_t>(raw.size())), "a");
}

std::string header(uint32_t rows, std::initializer_list<std::pair<const char*, int>> columns) {
    std::string out;
    mdbproto::putU32(out, rows);
    mdbproto::putU32(out, static_cast<uint32_t>(columns.size()));
    for (const auto& [name, type] : columns) {
        mdbproto::putString(out, name, strlen(name));
        out.push_back(static_cast<char>(type));
        mdbproto::putU32(out, 4);
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

QByteArray qbytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

TEST(MdbReplies, RowTellsNullFromZeroLength) {
    const auto head = decodeTableHeader(qbytes(header(2, {{"ID", kMdbLong}, {"Name", kMdbText}})));
    ASSERT_TRUE(head);
    EXPECT_EQ(head->declaredRows, 2u);
    std::string row;
    row.push_back(1);
    mdbproto::putString(row, "\x03\0\0\0", 4);
    row.push_back(1);
    mdbproto::putString(row, "", 0);
    std::vector<DbValue> values;
    ASSERT_TRUE(decodeRowReply(qbytes(row), head->columns, values));
    EXPECT_EQ(values[0].integer, 3);
    EXPECT_EQ(values[1].kind, DbValue::Kind::Text);
    EXPECT_TRUE(values[1].text.isEmpty());

    std::string nullRow;
    nullRow.push_back(1);
    mdbproto::putString(nullRow, "\x04\0\0\0", 4);
    nullRow.push_back(0);
    ASSERT_TRUE(decodeRowReply(qbytes(nullRow), head->columns, values));
    EXPECT_TRUE(values[1].isNull());
}

TEST(MdbReplies, GarbledFramesAreRefused) {
    const auto head = decodeTableHeader(qbytes(header(1, {{"ID", kMdbLong}})));
    ASSERT_TRUE(head);
    std::string tooLong;
    tooLong.push_back(1);
    mdbproto::putU32(tooLong, 1000);  // says 1000 bytes follow, none do
    std::string presenceTwo(1, '\x02');
    std::string trailing;
    trailing.push_back(0);
    trailing.push_back(0);
    std::vector<DbValue> values;
    for (const std::string& payload : {tooLong, presenceTwo, trailing, std::string()}) {
        EXPECT_FALSE(decodeRowReply(qbytes(payload), head->columns, values));
    }

    std::string hugeCount;
    mdbproto::putU32(hugeCount, 0);
    mdbproto::putU32(hugeCount, 0xFFFFFFFFu);
    EXPECT_FALSE(decodeTableHeader(qbytes(hugeCount)));
    std::string hugeCatalogue;
    mdbproto::putU32(hugeCatalogue, 0);    // Jet 3
    mdbproto::putU32(hugeCatalogue, 932);  // code page
    mdbproto::putU32(hugeCatalogue, 0xFFFFFFFFu);
    EXPECT_FALSE(decodeDatabaseReply(qbytes(hugeCatalogue)));
    EXPECT_FALSE(decodeDatabaseReply(QByteArray("\x01", 1)));
}

// The reader names a cause by its number; the words are the viewer's. A number the reader may
// not send, or a frame that is not just one number, reads as the general cause, never as an
// empty message.
TEST(ErrorReply, NamesTheReadersCauseOrTheGeneralOne) {
    const auto reply = [](std::initializer_list<uint32_t> numbers) {
        std::string out;
        for (uint32_t number : numbers) {
            mdbproto::putU32(out, number);
        }
        return qbytes(out);
    };
    const struct {
        QByteArray payload;
        MdbFault cause;
    } cases[] = {
        {reply({1}), MdbFault::CannotOpenFile},
        {reply({static_cast<uint32_t>(MdbFault::LastFromReader)}), MdbFault::LastFromReader},
        {QByteArray(), MdbFault::UnreadableErrorReply},
        {QByteArray("\x01", 1), MdbFault::UnreadableErrorReply},
        {reply({0}), MdbFault::UnreadableErrorReply},
        {reply({static_cast<uint32_t>(MdbFault::UnreadableErrorReply)}),
         MdbFault::UnreadableErrorReply},
        {reply({static_cast<uint32_t>(MdbFault::TableNotFound)}), MdbFault::UnreadableErrorReply},
        {reply({1, 1}), MdbFault::UnreadableErrorReply},
    };
    for (const auto& c : cases) {
        const Failure failure = decodeErrorReply(c.payload);
        EXPECT_TRUE(failure.is(c.cause)) << failure.text().toStdString();
        EXPECT_FALSE(failure.text().isEmpty());
    }
    EXPECT_EQ(decodeErrorReply(QByteArray()).text(),
              QStringLiteral("データベースを読み取れません。"));
    for (uint32_t number = 1; number <= static_cast<uint32_t>(MdbFault::LastFromReader); ++number) {
        EXPECT_FALSE(decodeErrorReply(reply({number})).text().isEmpty()) << number;
    }
}

TEST(ConnectionString, DataSourceRunsToTheEnd) {
    struct Case {
        QString text;
        QString provider;
        QString dataSource;
    };
    const Case cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=C:\\a\\b.mdb",
         "Microsoft.Jet.OLEDB.4.0", "C:\\a\\b.mdb"},
        {"Provider=Microsoft.Jet.OLEDB.3.51;Persist Security Info=False;Data Source=/x;y=z;.mdb",
         "Microsoft.Jet.OLEDB.3.51", "/x;y=z;.mdb"},
        {"provider = Microsoft.Jet.OLEDB.4.0 ; data source=/d/ a.mdb", "Microsoft.Jet.OLEDB.4.0",
         "/d/ a.mdb"},
        {"Provider=Microsoft.Jet.OLEDB.4.0", "Microsoft.Jet.OLEDB.4.0", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const ConnectionStringParts parts = parseConnectionString(c.text);
        EXPECT_EQ(parts.provider, c.provider) << c.text.toStdString();
        EXPECT_EQ(parts.dataSource, c.dataSource) << c.text.toStdString();
    }
}

}  // namespace
}  // namespace korvane
