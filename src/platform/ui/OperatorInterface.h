#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace estaciones::ui {

// Message box styles and answers with the original's numbering, so that the
// core never sees a toolkit's button enums.
namespace style {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;
constexpr int DefaultButton3 = 512;

constexpr int buttons(int flags) {
    return flags & 0x0F;
}
constexpr int icon(int flags) {
    return flags & 0x70;
}
constexpr int defaultButton(int flags) {
    return (flags & 0x300) >> 8;
} // 0-based
} // namespace style

namespace reply {
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace reply

// Every dialog the program shows to its operator goes through here: the real
// implementation shows modal Qt dialogs, the scripted one answers tests.
class OperatorInterface {
public:
    virtual ~OperatorInterface() = default;

    // Returns one of reply::*. An empty title means the application's title.
    virtual int messageBox(const QString& text, int flags = style::OKOnly,
                           const QString& title = {}) = 0;

    // The typed text, or nothing when the operator cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title = {},
                                            const QString& defaultText = {}) = 0;

    // Colours are the original's 0x00BBGGRR values. Nothing when cancelled.
    virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initialBgr) = 0;

    // `filter` in the original's form: "Description |*.EXT|Other|*.X".
    // Returns the chosen path, or nothing when cancelled.
    virtual std::optional<QString> openFile(const QString& title, const QString& filter,
                                            const QString& initialFolder = {}) = 0;

    // The path to save a file under, or nothing when cancelled. `filter` as
    // for openFile; `suggestedPath` names the folder and file name the
    // dialog starts with. An existing file is not asked about here: the
    // caller asks before overwriting it (one question on every platform).
    virtual std::optional<QString> saveFile(const QString& title, const QString& filter,
                                            const QString& suggestedPath) = 0;

    // Let pending window events run (the original's DoEvents).
    virtual void processEvents() = 0;
};

// The program-wide instance. Until one is installed, a scripted operator that
// fails on any dialog is used, so a forgotten set-up never blocks on a window.
OperatorInterface& operatorInterface();
// Installs `instance` (not owned) and returns the previous one.
OperatorInterface* setOperatorInterface(OperatorInterface* instance);

// Installs an operator for the lifetime of a scope (tests, nested tools).
class ScopedOperatorInterface {
public:
    explicit ScopedOperatorInterface(OperatorInterface& instance)
        : m_previous(setOperatorInterface(&instance)) {}
    ~ScopedOperatorInterface() { setOperatorInterface(m_previous); }
    ScopedOperatorInterface(const ScopedOperatorInterface&) = delete;
    ScopedOperatorInterface& operator=(const ScopedOperatorInterface&) = delete;

private:
    OperatorInterface* m_previous;
};

} // namespace estaciones::ui
