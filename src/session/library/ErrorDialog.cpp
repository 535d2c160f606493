#include "session/library/ErrorDialog.h"

#include "platform/ui/OperatorInterface.h"
#include "session/library/LibraryTexts.h"

namespace estaciones::library {

int showErrorDialog(const Error& error, const QString& routine) {
    QString message = texts::errorMessageStart + QString::number(error.number()) +
                      QStringLiteral(") ") + error.description().trimmed();
    QString title = texts::operatorNotice;
    if (!routine.trimmed().isEmpty()) {
        message += QStringLiteral("\r\n") + texts::errorRoutine + routine.trimmed();
        title = routine.trimmed() + QStringLiteral(" - ") + texts::operatorNotice;
    }
    const int reply = ui::operatorInterface().messageBox(
        message, ui::style::AbortRetryIgnore | ui::style::Critical, title);
    switch (reply) {
    case ui::reply::Retry:
        return answer::Retry;
    case ui::reply::Ignore:
        return answer::Ignore;
    default:
        return ui::reply::Abort;
    }
}

ErrorHandler errorDialogHandler(const QString& routine) {
    return [routine](const Error& error) { return showErrorDialog(error, routine); };
}

} // namespace estaciones::library
