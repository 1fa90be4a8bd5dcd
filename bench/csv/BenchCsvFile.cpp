#include "BenchCsvFile.h"

#include <QByteArray>
#include <QSaveFile>
#include <array>

namespace korvane::bench {

namespace {

const std::array<const char*, 6> kNames = {"山田 太郎", "佐藤 花子",  "Smith, John",
                                           "鈴木",      "O\"\"Brien", "ｶﾀｶﾅ ﾃｽﾄ"};
const std::array<const char*, 4> kPlaces = {"東京都千代田区丸の内1-2", "大阪市北区, 梅田3",
                                            "Springfield, \"\"Main St\"\"", "札幌市中央区"};
const std::array<const char*, 5> kNotes = {"say \"\"hi\"\", then go", "東京, 大阪", "", "a,b,c",
                                           "plain"};

}  // namespace

bool WriteBenchCsv(const QString& path, int64_t lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray chunk;
    chunk.reserve(1 << 20);
    for (int64_t i = 0; i < lines; ++i) {
        if (i == 0) {
            chunk += "id,name,place,note,price,count\r\n";
            continue;
        }
        chunk += QByteArray::number(static_cast<qlonglong>(i));
        chunk += ",\"";
        chunk += kNames[static_cast<size_t>(i % kNames.size())];
        chunk += "\",\"";
        chunk += kPlaces[static_cast<size_t>(i % kPlaces.size())];
        chunk += "\",\"";
        chunk += kNotes[static_cast<size_t>(i % kNotes.size())];
        chunk += "\",";
        chunk += QByteArray::number(static_cast<double>(i % 100000) / 100.0, 'f', 2);
        chunk += ',';
        chunk += QByteArray::number(static_cast<qlonglong>(i % 977));
        chunk += "\r\n";
        if (chunk.size() > (1 << 20) - 256) {
            if (file.write(chunk) != chunk.size()) {
                return false;
            }
            chunk.clear();
        }
    }
    if (file.write(chunk) != chunk.size()) {
        return false;
    }
    return file.commit();
}

}  // namespace korvane::bench
