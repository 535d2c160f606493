#include "calendar/window/SeasonTotalsLegend.h"

#include "calendar/BgrColour.h"
#include "calendar/extras/ExtrasTexts.h"

namespace estaciones::calendar::window {

SeasonTotalsLegend::SeasonTotalsLegend(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("LblTotales"));
    setTextFormat(Qt::RichText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // BAJA's line tells the days without season too: it may take two lines.
    setWordWrap(true);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    setFont(small);
}

void SeasonTotalsLegend::show(const extras::SeasonTotals& totals, const SeasonColours& colours) {
    m_totals = totals;
    const QStringList lines = extras::legendLines(totals);
    QString html =
        QStringLiteral("<b>%1</b>").arg(extras::texts::totalsTitle(totals.year).toHtmlEscaped());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        html += QStringLiteral("<br>");
        if (i < SeasonCount) {
            html += QStringLiteral("<span style=\"color:%1\">&#9632;</span> ")
                        .arg(toQColor(colours.colour[static_cast<std::size_t>(i)]).name());
        }
        html += lines[i].toHtmlEscaped();
    }
    setText(html);
    setToolTip(plainText());
}

QString SeasonTotalsLegend::plainText() const {
    return extras::legendLines(m_totals).join(QLatin1Char('\n'));
}

} // namespace estaciones::calendar::window
