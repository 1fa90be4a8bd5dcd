#include "shell/ScriptedInteraction.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QTextEdit>

namespace korvane {

ScriptedInteraction::ScriptedInteraction(RecordSink sink) : m_sink(std::move(sink)) {}

void ScriptedInteraction::setDialogSteps(const QString& dialog, std::vector<ScriptStep> steps) {
    m_steps.insert(dialog, std::move(steps));
}

void ScriptedInteraction::queueOpenFileName(const QString& path) {
    m_openNames.append(path);
}
void ScriptedInteraction::queueSaveFileName(const QString& path) {
    m_saveNames.append(path);
}

void ScriptedInteraction::record(const QStringList& fields) {
    m_records.push_back(fields);
    if (m_sink) {
        m_sink(fields);
    }
}

bool ScriptedInteraction::applyStep(QDialog& dialog, const ScriptStep& step) {
    if (takeStep(dialog, step)) {
        m_scriptFailure.reset();
        return true;
    }
    return false;
}

bool ScriptedInteraction::takeStep(QDialog& dialog, const ScriptStep& step) {
    m_scriptFailure = ScriptFailure{dialog.objectName(), step, {}};
    QWidget* control = dialog.findChild<QWidget*>(step.object);
    if (control == nullptr) {
        m_scriptError =
            QStringLiteral("%1 has no control %2").arg(dialog.objectName(), step.object);
        return false;
    }
    switch (step.action) {
        case ScriptStep::Action::Click:
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                button->click();
                return true;
            }
            break;
        case ScriptStep::Action::SetChecked:
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                if (button->isChecked() != step.checked) {
                    button->click();  // a click, so the control's own handlers run
                }
                return true;
            }
            break;
        case ScriptStep::Action::SetText:
            if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                edit->setFocus();
                edit->selectAll();
                edit->insert(step.text);
                return true;
            }
            break;
        case ScriptStep::Action::SelectText:
        case ScriptStep::Action::SelectIndex:
            if (auto* list = qobject_cast<QListWidget*>(control)) {
                int row = -1;
                if (step.action == ScriptStep::Action::SelectIndex) {
                    row = step.index;
                } else {
                    for (int i = 0; i < list->count(); ++i) {
                        if (list->item(i)->text() == step.text) {
                            row = i;
                            break;
                        }
                    }
                }
                if (row < 0 || row >= list->count()) {
                    for (int i = 0; i < list->count(); ++i) {
                        m_scriptFailure->lines.append(list->item(i)->text());
                    }
                    m_scriptError =
                        step.action == ScriptStep::Action::SelectIndex
                            ? QStringLiteral("%1 has no line %2")
                                  .arg(step.object)
                                  .arg(step.index + 1)
                            : QStringLiteral("%1 has no line \"%2\"").arg(step.object, step.text);
                    return false;
                }
                list->setCurrentRow(row);
                return true;
            }
            break;
        case ScriptStep::Action::Close:
            dialog.close();
            return true;
    }
    m_scriptError = QStringLiteral("%1 cannot take that answer").arg(step.object);
    return false;
}

void ScriptedInteraction::setDialogAnswerer(const QString& dialog, DialogAnswerer answerer) {
    m_answerers.insert(dialog, std::move(answerer));
}

void ScriptedInteraction::runModal(QDialog& dialog) {
    QPointer<QDialog> guard(&dialog);
    std::vector<ScriptStep> steps = m_steps.value(dialog.objectName());
    if (const auto answerer = m_answerers.constFind(dialog.objectName());
        answerer != m_answerers.constEnd()) {
        std::optional<std::vector<ScriptStep>> chosen = (*answerer)(dialog);
        if (!chosen) {
            return;
        }
        steps = std::move(*chosen);
    }
    dialog.show();
    if (steps.empty()) {
        steps.push_back(
            ScriptStep{ScriptStep::Action::Click, QStringLiteral("OKButton"), {}, -1, true});
    }
    for (const ScriptStep& step : steps) {
        if (guard.isNull() || !dialog.isVisible()) {
            return;
        }
        if (!applyStep(dialog, step)) {
            break;
        }
    }
    if (!guard.isNull() && dialog.isVisible()) {
        if (!m_scriptError) {
            m_dialogLeftOpen = true;
        }
        dialog.close();
    }
}

void ScriptedInteraction::showMessage(const QString& text, bool /*modal*/) {
    record({QStringLiteral("message"), text});
}

void ScriptedInteraction::messageBox(const QString& title, const QString& text) {
    record({QStringLiteral("box"), title, text});
}

std::optional<QString> ScriptedInteraction::openFileName(const FileDialogRequest& request) {
    m_fileRequests.push_back(request);
    if (m_openNames.isEmpty()) {
        return std::nullopt;
    }
    return m_openNames.takeFirst();
}

std::optional<QString> ScriptedInteraction::saveFileName(const FileDialogRequest& request) {
    m_fileRequests.push_back(request);
    if (m_saveNames.isEmpty()) {
        return std::nullopt;
    }
    return m_saveNames.takeFirst();
}

void ScriptedInteraction::progressBegin(const QString& /*label*/) {}
bool ScriptedInteraction::progressUpdate(double shareDone) {
    return m_progressAnswer ? m_progressAnswer(shareDone) : !m_cancelProgress;
}
void ScriptedInteraction::progressEnd() {}

}  // namespace korvane
