#include "calendar/extras/YearSheet.h"
#include "calendar/extras/ExtrasTexts.h"

#include "calendar/BgrColour.h"
#include "calendar/CalendarTexts.h"
#include "calendar/TextContrast.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace estaciones::calendar::extras {

namespace {
constexpr int MonthColumns = 4;
constexpr int MonthRows = 3;
constexpr int GridRows = CellsPerMonth / DaysPerWeek;

void setFontHeight(QPainter& painter, qreal height, bool bold) {
    QFont font = painter.font();
    font.setPixelSize(std::max(1, qRound(height)));
    font.setBold(bold);
    painter.setFont(font);
}

void paintMonth(QPainter& painter, const QRectF& box, int month,
                const std::array<CellPaint, CellsPerMonth>& cells) {
    const qreal titleHeight = box.height() * 0.12;
    const qreal cellWidth = box.width() / DaysPerWeek;
    const qreal cellHeight = (box.height() - 2 * titleHeight) / GridRows;
    const auto m = static_cast<std::size_t>(month - 1);

    painter.setPen(Qt::black);
    setFontHeight(painter, titleHeight * 0.7, true);
    painter.drawText(QRectF(box.left(), box.top(), box.width(), titleHeight), Qt::AlignCenter,
                     calendar::texts::monthFrames[m]);
    setFontHeight(painter, titleHeight * 0.55, false);
    // The weekday captions keep a tenth of their column free.
    painter.setFont(fontFitting(
        painter.font(),
        QStringList(calendar::texts::weekdayHeaders.begin(), calendar::texts::weekdayHeaders.end()),
        cellWidth * 0.8));
    for (int column = 0; column < DaysPerWeek; ++column) {
        painter.drawText(QRectF(box.left() + column * cellWidth, box.top() + titleHeight, cellWidth,
                                titleHeight),
                         Qt::AlignCenter,
                         calendar::texts::weekdayHeaders[static_cast<std::size_t>(column)]);
    }
    setFontHeight(painter, cellHeight * 0.5, true);
    for (int k = 0; k < CellsPerMonth; ++k) {
        const CellPaint& cell = cells[static_cast<std::size_t>(k)];
        if (!cell.enabled) {
            continue; // a cell without a day stays blank on paper
        }
        const QRectF rect(box.left() + (k % DaysPerWeek) * cellWidth,
                          box.top() + 2 * titleHeight + (k / DaysPerWeek) * cellHeight, cellWidth,
                          cellHeight);
        const QColor face = cell.background ? toQColor(*cell.background) : QColor(Qt::white);
        painter.fillRect(rect, face);
        painter.setPen(QPen(Qt::gray, 0));
        painter.drawRect(rect);
        painter.setPen(readableTextColour(face));
        painter.drawText(rect, Qt::AlignCenter, cell.caption);
    }
}

// Two rows: the four seasons with their colours, then the other counts.
void paintLegend(QPainter& painter, const QRectF& box, const YearSheet& sheet) {
    const QStringList lines = legendLines(sheet.totals);
    const qreal rowHeight = box.height() / 2;
    const qreal itemWidth = box.width() / SeasonCount;
    const qreal swatch = rowHeight * 0.7;
    setFontHeight(painter, rowHeight * 0.55, false);
    for (int i = 0; i < SeasonCount && i < lines.size(); ++i) {
        const QRectF item(box.left() + i * itemWidth, box.top(), itemWidth, rowHeight);
        const QRectF square(item.left(), item.center().y() - swatch / 2, swatch, swatch);
        painter.fillRect(square, toQColor(sheet.colours.colour[static_cast<std::size_t>(i)]));
        painter.setPen(QPen(Qt::black, 0));
        painter.drawRect(square);
        const qreal textLeft = square.right() + swatch * 0.4;
        painter.drawText(QRectF(textLeft, item.top(), item.right() - textLeft, item.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    }
    painter.setPen(Qt::black);
    painter.drawText(QRectF(box.left(), box.top() + rowHeight, box.width(), rowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     lines.mid(SeasonCount).join(QStringLiteral("     ")));
}
} // namespace

void paintYearSheet(QPainter& painter, const QRectF& area, const YearSheet& sheet) {
    painter.save();
    painter.fillRect(area, Qt::white);
    const qreal titleHeight = area.height() * 0.07;
    const qreal legendHeight = area.height() * 0.11;
    const qreal gap = area.width() * 0.015;

    painter.setPen(Qt::black);
    setFontHeight(painter, titleHeight * 0.6, true);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), titleHeight), Qt::AlignCenter,
                     texts::sheetTitle(sheet.year));

    const QRectF months(area.left(), area.top() + titleHeight, area.width(),
                        area.height() - titleHeight - legendHeight - gap);
    const qreal monthWidth = (months.width() - (MonthColumns - 1) * gap) / MonthColumns;
    const qreal monthHeight = (months.height() - (MonthRows - 1) * gap) / MonthRows;
    for (int month = 1; month <= 12; ++month) {
        const int column = (month - 1) % MonthColumns;
        const int row = (month - 1) / MonthColumns;
        const QRectF box(months.left() + column * (monthWidth + gap),
                         months.top() + row * (monthHeight + gap), monthWidth, monthHeight);
        paintMonth(painter, box, month, sheet.paint[static_cast<std::size_t>(month - 1)]);
    }
    paintLegend(painter,
                QRectF(area.left(), area.bottom() - legendHeight, area.width(), legendHeight),
                sheet);
    painter.restore();
}

bool writeYearPdf(const QString& path, const YearSheet& sheet) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QPdfWriter writer(&file);
    writer.setTitle(texts::sheetTitle(sheet.year));
    writer.setCreator(QStringLiteral("Estaciones"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    writer.setResolution(150);
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    paintYearSheet(painter, QRectF(QPointF(0, 0), QSizeF(painter.viewport().size())), sheet);
    painter.end();
    file.close();
    return file.error() == QFileDevice::NoError;
}

} // namespace estaciones::calendar::extras
