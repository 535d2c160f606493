#include "platform/ui/QtOperatorInterface.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <vector>

namespace estaciones::ui {

namespace {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QString titleOrApplication(const QString& title) {
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

struct ButtonSpec {
    const char* caption;
    int reply;
    QMessageBox::ButtonRole role;
};

std::vector<ButtonSpec> buttonsFor(int flags) {
    switch (style::buttons(flags)) {
    case style::OKCancel:
        return {{"Aceptar", reply::OK, QMessageBox::AcceptRole},
                {"Cancelar", reply::Cancel, QMessageBox::RejectRole}};
    case style::AbortRetryIgnore:
        return {{"&Anular", reply::Abort, QMessageBox::RejectRole},
                {"&Reintentar", reply::Retry, QMessageBox::AcceptRole},
                {"&Omitir", reply::Ignore, QMessageBox::AcceptRole}};
    case style::YesNoCancel:
        return {{"&Sí", reply::Yes, QMessageBox::YesRole},
                {"&No", reply::No, QMessageBox::NoRole},
                {"Cancelar", reply::Cancel, QMessageBox::RejectRole}};
    case style::YesNo:
        return {{"&Sí", reply::Yes, QMessageBox::YesRole}, {"&No", reply::No, QMessageBox::NoRole}};
    case style::RetryCancel:
        return {{"&Reintentar", reply::Retry, QMessageBox::AcceptRole},
                {"Cancelar", reply::Cancel, QMessageBox::RejectRole}};
    default:
        return {{"Aceptar", reply::OK, QMessageBox::AcceptRole}};
    }
}

QMessageBox::Icon iconFor(int flags) {
    switch (style::icon(flags)) {
    case style::Critical:
        return QMessageBox::Critical;
    case style::Question:
        return QMessageBox::Question;
    case style::Exclamation:
        return QMessageBox::Warning;
    case style::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QColor fromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace

int QtOperatorInterface::messageBox(const QString& text, int flags, const QString& title) {
    QMessageBox box(iconFor(flags), titleOrApplication(title), text, QMessageBox::NoButton,
                    dialogParent());
    const auto specs = buttonsFor(flags);
    std::vector<QPushButton*> buttons;
    for (const auto& boton : specs) {
        buttons.push_back(box.addButton(QString::fromUtf8(boton.caption), boton.role));
    }
    const int defaultIndex = style::defaultButton(flags);
    if (defaultIndex < static_cast<int>(buttons.size())) {
        box.setDefaultButton(buttons[static_cast<size_t>(defaultIndex)]);
    }
    // Escape answers as the window's close box did in the original: Cancel
    // where there is one, otherwise the only button of an OK box.
    for (size_t i = 0; i < specs.size(); ++i) {
        if (specs[i].reply == reply::Cancel || specs.size() == 1) {
            box.setEscapeButton(buttons[i]);
        }
    }
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return specs[i].reply;
        }
    }
    return specs.size() == 1 ? reply::OK : reply::Cancel;
}

std::optional<QString> QtOperatorInterface::inputBox(const QString& prompt, const QString& title,
                                                     const QString& defaultText) {
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(titleOrApplication(title));
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("Aceptar"));
    dialog.setCancelButtonText(QStringLiteral("Cancelar"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<std::uint32_t> QtOperatorInterface::chooseColor(std::uint32_t initialBgr) {
    const QColor chosen = QColorDialog::getColor(fromBgr(initialBgr), dialogParent());
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(chosen.red()) |
           (static_cast<std::uint32_t>(chosen.green()) << 8) |
           (static_cast<std::uint32_t>(chosen.blue()) << 16);
}

std::optional<QString> QtOperatorInterface::openFile(const QString& title, const QString& filter,
                                                     const QString& initialFolder) {
    const QString path =
        QFileDialog::getOpenFileName(dialogParent(), title, initialFolder, toQtFileFilter(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> QtOperatorInterface::saveFile(const QString& title, const QString& filter,
                                                     const QString& suggestedPath) {
    // Qt's own dialog, which the Spanish translations of qtbase cover; the
    // platform's native dialog would speak the desktop's language.
    QFileDialog dialog(dialogParent(), titleOrApplication(title));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString qtFilter = toQtFileFilter(filter);
    if (!qtFilter.isEmpty()) {
        dialog.setNameFilters(qtFilter.split(QLatin1String(";;")));
    }
    const QFileInfo suggested(suggestedPath);
    dialog.setDirectory(suggested.absolutePath());
    dialog.selectFile(suggested.fileName());
    if (!suggested.suffix().isEmpty()) {
        dialog.setDefaultSuffix(suggested.suffix());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void QtOperatorInterface::processEvents() {
    QCoreApplication::processEvents();
}

QString toQtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        entries << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), parts[i + 1].trimmed());
    }
    if (entries.isEmpty() && !filter.trimmed().isEmpty()) {
        entries << filter.trimmed();
    }
    return entries.join(QLatin1String(";;"));
}

bool installSpanishTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace estaciones::ui
