// The 16- and 32-byte UTF-8 checks must answer as the byte-by-byte one does, wherever a character
// falls against the block edges and however the bytes are fed.
#include <gtest/gtest.h>

#include <random>

#include "text/TextFile.h"

namespace korvane {
namespace {

bool Valid(const QByteArray& bytes, Utf8Validator::Method method, qsizetype piece) {
    Utf8Validator validator(method);
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        validator.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    }
    return validator.validAtEnd();
}

void ExpectBothMethods(const QByteArray& bytes, bool valid, const std::string& label) {
    for (qsizetype piece : {qsizetype{1}, qsizetype{3}, qsizetype{16}, qsizetype{1000}}) {
        EXPECT_EQ(Valid(bytes, Utf8Validator::Method::Scalar, piece), valid) << label;
        EXPECT_EQ(Valid(bytes, Utf8Validator::Method::Fastest, piece), valid)
            << label << " in pieces of " << piece;
    }
}

TEST(Utf8Blocks, EachKindOfFaultAtEveryPlaceInABlock) {
    const std::pair<const char*, bool> characters[] = {
        {"\xC3\xA9", true},
        {"\xE3\x81\x82", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xED\x9F\xBF", true},
        {"\xF4\x8F\xBF\xBF", true},
        {"\xEF\xBB\xBF", true},
        {"\xC0\xAF", false},
        {"\xC1\xBF", false},
        {"\xE0\x9F\xBF", false},
        {"\xED\xA0\x80", false},
        {"\xF0\x8F\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"\x80", false},
        {"\xC3", false},
        {"\xE3\x81", false},
        {"\xF0\x9F\x98", false},
        {"\xC3\xA9\xA9", false},
        {"\xE3\xE3\x81\x82", false},
    };
    for (const auto& [character, valid] : characters) {
        for (int before = 0; before < 72; ++before) {  // across two 32-byte steps
            const QByteArray bytes = QByteArray(before, 'a') + character + "tail";
            ExpectBothMethods(bytes, valid, "at " + std::to_string(before));
            // At the very end, with nothing after it.
            ExpectBothMethods(QByteArray(before, 'a') + character, valid,
                              "ending at " + std::to_string(before));
        }
    }
}

TEST(Utf8Blocks, AgreesOnRandomBytes) {
    const QByteArray alphabet("a\xC3\xA9\xE3\x81\x82\xF0\x9F\xED\xA0\xBF\x80\xF4\x90\xC1");
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        const int length = static_cast<int>(random() % 100);
        for (int i = 0; i < length; ++i) {
            bytes += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
        }
        const bool valid = Valid(bytes, Utf8Validator::Method::Scalar, bytes.size() + 1);
        EXPECT_EQ(Valid(bytes, Utf8Validator::Method::Fastest, 1000), valid)
            << bytes.toHex().data();
        EXPECT_EQ(Valid(bytes, Utf8Validator::Method::Fastest, 7), valid) << bytes.toHex().data();
    }
}

}  // namespace
}  // namespace korvane
