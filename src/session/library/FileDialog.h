#pragma once

#include <QString>

namespace estaciones::library {

// The shared library's file dialog object: set a title and a filter, show the
// open dialog (through the operator interface), then read the chosen file and
// whether the operator cancelled.
class FileDialog {
public:
    void setTitle(const QString& title) { m_title = title; }
    // In the original's form: "Description |*.EXT|Other|*.X".
    void setFilter(const QString& filter) { m_filter = filter; }
    void setInitialFolder(const QString& folder) { m_initialFolder = folder; }

    // Shows the open dialog. Returns false when the operator cancelled.
    bool showOpen();

    // The chosen path; empty after a cancel (or before any showOpen()).
    const QString& fileName() const { return m_fileName; }
    bool cancelled() const { return m_cancelled; }

private:
    QString m_title;
    QString m_filter;
    QString m_initialFolder;
    QString m_fileName;
    bool m_cancelled = false;
};

} // namespace estaciones::library
