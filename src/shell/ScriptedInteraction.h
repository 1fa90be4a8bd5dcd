#pragma once
// The user-interaction seam answered from a script: korvane-cli and the tests drive the real
// dialogs offscreen with it and record every message as it is shown.

#include "platform/UserInteraction.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace korvane {

// One thing a person does in a dialog, found by the control's object name.
struct ScriptStep {
    enum class Action {
        Click,        // press a button, option button or check box (a click toggles a check box)
        SetChecked,   // set a check box or option button to `checked`
        SetText,      // type `text` into a text box, exactly as given
        SelectText,   // select the line of a list whose text is `text`
        SelectIndex,  // select line `index` (0-based) of a list; `text` may hold what was asked
        Close,        // the window's own close command
    };
    Action action = Action::Click;
    QString object;
    QString text;
    int index = -1;
    bool checked = true;
};

// A step that could not be taken: the dialog, the step, and for a line that is not in a list
// the lines the list does hold.
struct ScriptFailure {
    QString dialog;
    ScriptStep step;
    QStringList lines;
};

class ScriptedInteraction : public UserInteraction {
public:
    // A record is a list of fields: {"message", text}, {"box", title, text}.
    using RecordSink = std::function<void(const QStringList& record)>;

    explicit ScriptedInteraction(RecordSink sink = {});

    // The steps for the dialog whose objectName is `dialog`. Without steps a dialog gets its
    // OKButton pressed. When a dialog is still open after its steps, it is closed with its
    // close command and dialogLeftOpen() turns true.
    void setDialogSteps(const QString& dialog, std::vector<ScriptStep> steps);
    // Steps chosen by what the dialog asks (the dialog as its caller set it up, not yet
    // shown), for a dialog that comes up more than once; no steps: the dialog is not shown at
    // all, as if nobody were there to answer. Takes the place of setDialogSteps for it.
    using DialogAnswerer = std::function<std::optional<std::vector<ScriptStep>>(QDialog& dialog)>;
    void setDialogAnswerer(const QString& dialog, DialogAnswerer answerer);
    // Answers of the file dialogs, taken in order; none left means cancel.
    void queueOpenFileName(const QString& path);
    void queueSaveFileName(const QString& path);

    bool dialogLeftOpen() const { return m_dialogLeftOpen; }
    // Set when a step named a control or a line that the dialog does not have.
    const std::optional<QString>& scriptError() const { return m_scriptError; }
    // The same failure with what a caller needs to word it in its own terms.
    const std::optional<ScriptFailure>& scriptFailure() const { return m_scriptFailure; }
    // Every record so far, in order.
    const std::vector<QStringList>& records() const { return m_records; }
    // Requests the file dialogs received, for tests.
    const std::vector<FileDialogRequest>& fileDialogRequests() const { return m_fileRequests; }
    // Set to make the next progressUpdate() calls answer "stop".
    void setCancelProgress(bool cancel) { m_cancelProgress = cancel; }
    // Answers each progressUpdate() by this function instead (true: go on).
    void setProgressAnswer(std::function<bool(double)> answer) {
        m_progressAnswer = std::move(answer);
    }
    bool waitCursor() const { return m_waitCursor; }

    void runModal(QDialog& dialog) override;
    void showMessage(const QString& text, bool modal) override;
    void messageBox(const QString& title, const QString& text) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    void progressBegin(const QString& label) override;
    bool progressUpdate(double shareDone) override;
    void progressEnd() override;
    void setWaitCursor(bool on) override { m_waitCursor = on; }

private:
    void record(const QStringList& fields);
    bool applyStep(QDialog& dialog, const ScriptStep& step);
    bool takeStep(QDialog& dialog, const ScriptStep& step);

    RecordSink m_sink;
    QHash<QString, std::vector<ScriptStep>> m_steps;
    QHash<QString, DialogAnswerer> m_answerers;
    QStringList m_openNames;
    QStringList m_saveNames;
    std::vector<QStringList> m_records;
    std::vector<FileDialogRequest> m_fileRequests;
    std::optional<QString> m_scriptError;
    std::optional<ScriptFailure> m_scriptFailure;
    bool m_dialogLeftOpen = false;
    bool m_cancelProgress = false;
    std::function<bool(double)> m_progressAnswer;
    bool m_waitCursor = false;
};

}  // namespace korvane
