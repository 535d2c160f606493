#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace estaciones::os {

// Window styles of the original's process and document calls.
namespace windowstyle {
constexpr int Hidden = 0;
constexpr int Normal = 1;
constexpr int Minimized = 6;
} // namespace windowstyle

// Starting other programs and opening documents: the real implementation
// starts processes, the recording one (tests) only writes down what was asked.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Starts `commandLine` (program path, then arguments; quotes group words).
    // Returns the process id, or 0 when it could not start.
    virtual std::int64_t startProcess(const QString& commandLine, int windowStyle) = 0;
    // Opens a document with the desktop's associated program. False on failure.
    virtual bool openDocument(const QString& path, int windowStyle) = 0;
};

// Splits a command line into program and arguments: blanks separate words,
// double quotes group them.
QStringList splitCommandLine(const QString& commandLine);

class SystemDesktop : public Desktop {
public:
    std::int64_t startProcess(const QString& commandLine, int windowStyle) override;
    bool openDocument(const QString& path, int windowStyle) override;
};

class RecordingDesktop : public Desktop {
public:
    struct Call {
        enum class Kind { Process, Document } kind;
        QString target;
        int windowStyle;
    };
    std::int64_t startProcess(const QString& commandLine, int windowStyle) override;
    bool openDocument(const QString& path, int windowStyle) override;

    const std::vector<Call>& calls() const { return m_calls; }
    // What the next calls report: a process id (0: could not start), success.
    void setProcessId(std::int64_t pid) { m_pid = pid; }
    void setOpenSucceeds(bool succeeds) { m_openSucceeds = succeeds; }

private:
    std::vector<Call> m_calls;
    std::int64_t m_pid = 4242;
    bool m_openSucceeds = true;
};

// The program-wide instance (a SystemDesktop until another is installed).
Desktop& desktop();
// Installs `instance` (not owned); returns the previous one.
Desktop* setDesktop(Desktop* instance);

} // namespace estaciones::os
