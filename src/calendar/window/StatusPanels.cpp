#include "calendar/window/StatusPanels.h"

#include "platform/ui/ControlArrays.h"

#include <QFrame>
#include <QLabel>
#include <QStatusBar>

namespace estaciones::calendar::window {

namespace {
const QString panelsArray = QStringLiteral("Panels");
}

void addStatusPanels(QStatusBar& bar) {
    for (std::size_t i = 0; i < statusPanelKeys.size(); ++i) {
        auto* panel = new QLabel(&bar);
        ui::nameArrayElement(*panel, panelsArray, static_cast<int>(i) + 1);
        panel->setProperty(PanelKeyProperty, statusPanelKeys[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The message panel takes the room the others leave.
        bar.addWidget(panel, statusPanelKeys[i] == QLatin1String("MENSAJE") ? 1 : 0);
    }
}

QLabel* statusPanel(const QStatusBar& bar, const QString& key) {
    if (key.isEmpty()) {
        return nullptr;
    }
    for (QLabel* panel : ui::arrayElements<QLabel>(bar, panelsArray)) {
        if (panel->property(PanelKeyProperty).toString().compare(key, Qt::CaseInsensitive) == 0) {
            return panel;
        }
    }
    return nullptr;
}

QLabel* statusPanel(const QStatusBar& bar, int index) {
    return ui::arrayElement<QLabel>(bar, panelsArray, index);
}

} // namespace estaciones::calendar::window
