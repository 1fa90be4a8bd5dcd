#include "shell/JapaneseTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>
#include <cstring>

namespace korvane {

namespace {

struct OwnText {
    const char* context;
    const char* source;
    const char* japanese;
};

// Japanese for the texts of Qt's that a Korvane user meets most: the file dialogs, the overwrite
// question, the question's buttons and a text box's context menu. Used where Qt's own
// translation has no text, also when its file is not installed at all.
const OwnText kOwnTexts[] = {
    {"QFileDialog", "&Open", "開く(&O)"},
    {"QFileDialog", "&Save", "保存(&S)"},
    {"QFileDialog", "Look in:", "ファイルの場所:"},
    {"QFileDialog", "File &name:", "ファイル名(&N):"},
    {"QFileDialog", "Files of type:", "ファイルの種類:"},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
     "%1 は既に存在します。\n置き換えますか?"},
    {"QFileDialog", "Back", "戻る"},
    {"QFileDialog", "Forward", "進む"},
    {"QFileDialog", "Parent Directory", "親ディレクトリ"},
    {"QFileDialog", "Create New Folder", "新しいフォルダの作成"},
    {"QFileDialog", "List View", "一覧表示"},
    {"QFileDialog", "Detail View", "詳細表示"},
    {"QFileDialog", "New Folder", "新しいフォルダ"},
    {"QFileDialog", "Recent Places", "履歴"},
    {"QFileSystemModel", "Name", "名前"},
    {"QFileSystemModel", "Size", "サイズ"},
    {"QFileSystemModel", "Type", "種類"},
    {"QFileSystemModel", "Date Modified", "更新日"},
    {"QPlatformTheme", "Cancel", "キャンセル"},
    {"QPlatformTheme", "&Yes", "はい(&Y)"},
    {"QPlatformTheme", "&No", "いいえ(&N)"},
    {"QPlatformTheme", "Open", "開く"},
    {"QPlatformTheme", "Save", "保存"},
    {"QLineEdit", "&Undo", "元に戻す(&U)"},
    {"QLineEdit", "&Redo", "やり直す(&R)"},
    {"QLineEdit", "Cu&t", "切り取り(&T)"},
    {"QLineEdit", "&Copy", "コピー(&C)"},
    {"QLineEdit", "&Paste", "貼り付け(&P)"},
    {"QLineEdit", "Delete", "削除"},
    {"QLineEdit", "Select All", "すべてを選択"},
};

// Answers from the table above. Qt asks the translator installed last first, so this one goes in
// before Qt's and only speaks where Qt's is silent.
class OwnJapaneseTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        return ownJapaneseText(context, sourceText);
    }
};

const char* const kInstalledMark = "korvaneJapaneseTranslation";

}  // namespace

QString ownJapaneseText(const char* context, const char* sourceText) {
    if (context == nullptr || sourceText == nullptr) {
        return QString();
    }
    for (const OwnText& text : kOwnTexts) {
        if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0) {
            return QString::fromUtf8(text.japanese);
        }
    }
    return QString();
}

std::vector<QtText> ownJapaneseSources() {
    std::vector<QtText> sources;
    for (const OwnText& text : kOwnTexts) {
        sources.push_back({text.context, text.source});
    }
    return sources;
}

bool installJapaneseTranslation(QCoreApplication& app) {
    if (app.property(kInstalledMark).isValid()) {
        return app.property(kInstalledMark).toBool();
    }
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    QCoreApplication::installTranslator(new OwnJapaneseTranslator(&app));
    auto* qt = new QTranslator(&app);
    const bool found = qt->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (found) {
        QCoreApplication::installTranslator(qt);
    } else {
        delete qt;
    }
    app.setProperty(kInstalledMark, found);
    return found;
}

}  // namespace korvane
