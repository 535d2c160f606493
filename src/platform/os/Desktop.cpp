#include "platform/os/Desktop.h"

#include <QProcess>

namespace estaciones::os {

QStringList splitCommandLine(const QString& commandLine) {
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (const QChar c : commandLine) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord) {
                words << word;
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words << word;
    }
    return words;
}

std::int64_t SystemDesktop::startProcess(const QString& commandLine, int /*windowStyle*/) {
    QStringList words = splitCommandLine(commandLine);
    if (words.isEmpty()) {
        return 0;
    }
    const QString program = words.takeFirst();
    qint64 pid = 0;
    if (!QProcess::startDetached(program, words, QString(), &pid)) {
        return 0;
    }
    return pid;
}

bool SystemDesktop::openDocument(const QString& path, int /*windowStyle*/) {
    // The desktop decides how the viewer's window appears; xdg-open has no
    // notion of a minimised or hidden start.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

std::int64_t RecordingDesktop::startProcess(const QString& commandLine, int windowStyle) {
    m_calls.push_back({Call::Kind::Process, commandLine, windowStyle});
    return m_pid;
}

bool RecordingDesktop::openDocument(const QString& path, int windowStyle) {
    m_calls.push_back({Call::Kind::Document, path, windowStyle});
    return m_openSucceeds;
}

namespace {
Desktop*& current() {
    static Desktop* instance = nullptr;
    return instance;
}
} // namespace

Desktop& desktop() {
    static SystemDesktop system;
    Desktop* instance = current();
    return instance ? *instance : system;
}

Desktop* setDesktop(Desktop* instance) {
    Desktop* previous = current();
    current() = instance;
    return previous;
}

} // namespace estaciones::os
