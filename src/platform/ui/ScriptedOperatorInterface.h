#pragma once

#include "platform/ui/OperatorInterface.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <variant>
#include <vector>

namespace estaciones::ui {

// The operator of the tests: records every dialog and answers from a queue.
// A dialog with no queued answer, or of another kind than the one queued, is
// an unexpected dialog: it is reported through the failure callback (tests set
// it to a test failure) and answered with Cancel/nothing.
class ScriptedOperatorInterface : public OperatorInterface {
public:
    enum class Kind { Message, Input, Color, OpenFile, SaveFile };

    struct Dialog {
        Kind kind;
        QString text; // message text or input prompt (title for the file dialog)
        QString title;
        int flags = 0;  // message box style
        QString detail; // input default text; the file filter, "|" and the folder or
                        // suggested path
    };

    ScriptedOperatorInterface();

    // Queue answers, in the order the dialogs will appear.
    ScriptedOperatorInterface& answerMessage(int reply);
    ScriptedOperatorInterface& answerInput(std::optional<QString> text);
    ScriptedOperatorInterface& answerColor(std::optional<std::uint32_t> bgr);
    ScriptedOperatorInterface& answerOpenFile(std::optional<QString> path);
    ScriptedOperatorInterface& answerSaveFile(std::optional<QString> path);

    const std::vector<Dialog>& dialogs() const { return m_dialogs; }
    int processEventsCalls() const { return m_processEventsCalls; }
    bool allAnswersUsed() const { return m_answers.empty(); }
    void clear();

    // Called with a description of an unexpected dialog.
    void setFailureHandler(std::function<void(const QString&)> handler);
    // Called on every processEvents(), so a test can act "while" a routine runs.
    void setProcessEventsHook(std::function<void()> hook);

    int messageBox(const QString& text, int flags, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initialBgr) override;
    std::optional<QString> openFile(const QString& title, const QString& filter,
                                    const QString& initialFolder) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
                                    const QString& suggestedPath) override;
    void processEvents() override;

private:
    using Answer = std::variant<int, std::optional<QString>, std::optional<std::uint32_t>>;
    struct Queued {
        Kind kind;
        Answer answer;
    };
    bool take(Kind kind, const Dialog& dialog, Answer& out);

    std::vector<Dialog> m_dialogs;
    std::deque<Queued> m_answers;
    std::function<void(const QString&)> m_failure;
    std::function<void()> m_processEventsHook;
    int m_processEventsCalls = 0;
};

} // namespace estaciones::ui
