#pragma once

#include <QString>

#include <array>

class QLabel;
class QStatusBar;

namespace estaciones::calendar::window {

// The seven panels of sbStatusBar, in order (index 1..7 as the suite counts
// them); the sixth has no key. Each is a QLabel of the array "Panels" with
// its key in the dynamic property "Key".
inline const std::array<QString, 7> statusPanelKeys = {
    QStringLiteral("VERSION"), QStringLiteral("SERVER"), QStringLiteral("BASEDEDATOS"),
    QStringLiteral("USUARIO"), QStringLiteral("CAJA"),   QString(),
    QStringLiteral("MENSAJE")};

inline constexpr char PanelKeyProperty[] = "Key";

void addStatusPanels(QStatusBar& bar);

// The panel with that key (ignoring case), or with that 1-based index; nullptr when none.
QLabel* statusPanel(const QStatusBar& bar, const QString& key);
QLabel* statusPanel(const QStatusBar& bar, int index);

} // namespace estaciones::calendar::window
