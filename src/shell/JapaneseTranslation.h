#pragma once
// The whole interface is Japanese, so Qt's own texts (file dialogs, the overwrite question,
// message-box buttons, the text boxes' context menus) are shown in Japanese whatever locale
// the user runs under.

#include <vector>

class QCoreApplication;
class QString;

namespace korvane {

// Installs Qt's Japanese translation (qtbase_ja.qm from the Qt translations folder) and, behind
// it, our own Japanese for the few texts Qt's translation lacks. Returns whether Qt's file was
// found; without it only our own texts are Japanese. Safe to call more than once.
bool installJapaneseTranslation(QCoreApplication& app);

// Our own Japanese for a text of Qt's; empty when we have none.
QString ownJapaneseText(const char* context, const char* sourceText);
// Every (context, source text) our own table holds, for checks.
struct QtText {
    const char* context;
    const char* source;
};
std::vector<QtText> ownJapaneseSources();

}  // namespace korvane
