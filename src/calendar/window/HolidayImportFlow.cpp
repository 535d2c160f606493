// The window's side of the holiday import: the file dialog, the offer to
// create missing years, the preview question and the one undoable mark.
#include "calendar/window/CalendarExtras.h"

#include "calendar/extras/ExtrasTexts.h"
#include "calendar/extras/HolidayImport.h"
#include "calendar/extras/ICalendarRead.h"
#include "data/DB_Dll.h"
#include "platform/ui/OperatorInterface.h"

#include <QFile>
#include <QFileInfo>

namespace estaciones::calendar::window {

void CalendarExtras::importarFestivos() {
    ui::OperatorInterface& operatorInterface = ui::operatorInterface();
    const std::optional<QString> chosen = operatorInterface.openFile(
        extras::texts::importTitle, extras::texts::iCalendarFilter, m_lastFolder);
    if (!chosen || chosen->trimmed().isEmpty()) {
        return;
    }
    const QString path = chosen->trimmed();
    const QFileInfo info(path);
    m_lastFolder = info.absolutePath();
    const int warning = ui::style::OKOnly | ui::style::Exclamation;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        operatorInterface.messageBox(extras::texts::importUnreadable(path), warning);
        return;
    }
    const extras::ICalendarFile read =
        extras::readICalendar(file.readAll(), extras::yearsWithCalendar(m_db));
    if (!read.ok()) {
        operatorInterface.messageBox(extras::texts::importRefused(path, read.error), warning);
        return;
    }
    extras::ImportPlan plan = extras::planImport(m_db, read);
    if (offerToCreate(plan.yearsWithoutCalendar())) {
        plan = extras::planImport(m_db, read);
    }
    const QString preview = extras::importPreview(plan, info.fileName());
    if (plan.changes.isEmpty()) {
        operatorInterface.messageBox(preview, ui::style::OKOnly);
        return;
    }
    if (operatorInterface.messageBox(preview, ui::style::YesNo | ui::style::Question) !=
        ui::reply::Yes) {
        return;
    }
    const extras::HistoryStamp importStamp = stamp(QStringLiteral("importar"));
    // One transaction, each changed day with its history row; a day another
    // station changed since the preview is left as that station put it.
    const extras::WriteOutcome outcome =
        extras::writeIfUnchanged(m_db.gCnn, plan.changes, {}, &importStamp);
    if (!outcome.stored) {
        operatorInterface.messageBox(extras::texts::importFailed(outcome.errorDescription),
                                     ui::style::OKOnly | ui::style::Critical);
        return;
    }
    m_history.record(outcome.applied);
    tellOutcome(outcome);
    repaint();
}

} // namespace estaciones::calendar::window
