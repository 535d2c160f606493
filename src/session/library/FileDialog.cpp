#include "session/library/FileDialog.h"

#include "platform/ui/OperatorInterface.h"
#include "session/library/LibraryTexts.h"

namespace estaciones::library {

bool FileDialog::showOpen() {
    const QString title = m_title.isEmpty() ? texts::openFileTitle : m_title;
    const auto chosen = ui::operatorInterface().openFile(title, m_filter, m_initialFolder);
    m_cancelled = !chosen.has_value() || chosen->isEmpty();
    m_fileName = m_cancelled ? QString() : *chosen;
    return !m_cancelled;
}

} // namespace estaciones::library
