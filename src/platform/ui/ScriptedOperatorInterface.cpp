#include "platform/ui/ScriptedOperatorInterface.h"

#include <QDebug>

namespace estaciones::ui {

namespace {
QString kindName(ScriptedOperatorInterface::Kind kind) {
    switch (kind) {
    case ScriptedOperatorInterface::Kind::Message:
        return QStringLiteral("message box");
    case ScriptedOperatorInterface::Kind::Input:
        return QStringLiteral("input box");
    case ScriptedOperatorInterface::Kind::Color:
        return QStringLiteral("colour dialog");
    case ScriptedOperatorInterface::Kind::OpenFile:
        return QStringLiteral("file dialog");
    case ScriptedOperatorInterface::Kind::SaveFile:
        return QStringLiteral("save file dialog");
    }
    return {};
}
} // namespace

ScriptedOperatorInterface::ScriptedOperatorInterface()
    : m_failure([](const QString& what) { qWarning().noquote() << what; }) {}

ScriptedOperatorInterface& ScriptedOperatorInterface::answerMessage(int reply) {
    m_answers.push_back({Kind::Message, reply});
    return *this;
}

ScriptedOperatorInterface& ScriptedOperatorInterface::answerInput(std::optional<QString> text) {
    m_answers.push_back({Kind::Input, std::move(text)});
    return *this;
}

ScriptedOperatorInterface&
ScriptedOperatorInterface::answerColor(std::optional<std::uint32_t> bgr) {
    m_answers.push_back({Kind::Color, bgr});
    return *this;
}

ScriptedOperatorInterface& ScriptedOperatorInterface::answerOpenFile(std::optional<QString> path) {
    m_answers.push_back({Kind::OpenFile, std::move(path)});
    return *this;
}

ScriptedOperatorInterface& ScriptedOperatorInterface::answerSaveFile(std::optional<QString> path) {
    m_answers.push_back({Kind::SaveFile, std::move(path)});
    return *this;
}

void ScriptedOperatorInterface::clear() {
    m_dialogs.clear();
    m_answers.clear();
    m_processEventsCalls = 0;
}

void ScriptedOperatorInterface::setFailureHandler(std::function<void(const QString&)> handler) {
    m_failure = std::move(handler);
}

void ScriptedOperatorInterface::setProcessEventsHook(std::function<void()> hook) {
    m_processEventsHook = std::move(hook);
}

bool ScriptedOperatorInterface::take(Kind kind, const Dialog& dialog, Answer& out) {
    m_dialogs.push_back(dialog);
    if (m_answers.empty() || m_answers.front().kind != kind) {
        if (m_failure) {
            QString expected =
                m_answers.empty() ? QStringLiteral("no dialog") : kindName(m_answers.front().kind);
            m_failure(QStringLiteral("Unexpected %1 (expected %2): title \"%3\", text \"%4\"")
                          .arg(kindName(kind), expected, dialog.title, dialog.text));
        }
        return false;
    }
    out = m_answers.front().answer;
    m_answers.pop_front();
    return true;
}

int ScriptedOperatorInterface::messageBox(const QString& text, int flags, const QString& title) {
    Answer answer = reply::Cancel;
    take(Kind::Message, {Kind::Message, text, title, flags, {}}, answer);
    return std::get<int>(answer);
}

std::optional<QString> ScriptedOperatorInterface::inputBox(const QString& prompt,
                                                           const QString& title,
                                                           const QString& defaultText) {
    Answer answer = std::optional<QString>();
    take(Kind::Input, {Kind::Input, prompt, title, 0, defaultText}, answer);
    return std::get<std::optional<QString>>(answer);
}

std::optional<std::uint32_t> ScriptedOperatorInterface::chooseColor(std::uint32_t initialBgr) {
    Answer answer = std::optional<std::uint32_t>();
    take(Kind::Color, {Kind::Color, QString::number(initialBgr), {}, 0, {}}, answer);
    return std::get<std::optional<std::uint32_t>>(answer);
}

std::optional<QString> ScriptedOperatorInterface::openFile(const QString& title,
                                                           const QString& filter,
                                                           const QString& initialFolder) {
    Answer answer = std::optional<QString>();
    take(Kind::OpenFile,
         {Kind::OpenFile, title, title, 0, filter + QLatin1Char('|') + initialFolder}, answer);
    return std::get<std::optional<QString>>(answer);
}

std::optional<QString> ScriptedOperatorInterface::saveFile(const QString& title,
                                                           const QString& filter,
                                                           const QString& suggestedPath) {
    Answer answer = std::optional<QString>();
    take(Kind::SaveFile,
         {Kind::SaveFile, title, title, 0, filter + QLatin1Char('|') + suggestedPath}, answer);
    return std::get<std::optional<QString>>(answer);
}

void ScriptedOperatorInterface::processEvents() {
    ++m_processEventsCalls;
    if (m_processEventsHook) {
        m_processEventsHook();
    }
}

} // namespace estaciones::ui
