// The controls of R as the form lays them out: positions in twips, converted
// with the screen's logical dpi.
#include "calendar/CalendarTexts.h"
#include "calendar/GridGeometry.h"
#include "calendar/TextContrast.h"
#include "calendar/YearList.h"
#include "calendar/window/CalendarExtras.h"
#include "calendar/window/DayCell.h"
#include "calendar/window/FormScrollArea.h"
#include "calendar/window/HelpMenu.h"
#include "calendar/window/R.h"
#include "calendar/window/StatusPanels.h"
#include "calendar/window/YearComboKeys.h"
#include "platform/ui/ControlArrays.h"

#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>

namespace estaciones::calendar::window {

namespace {
// Element 0 of each month's arrays, inside its frame.
constexpr TwipsRect cell0Twips{120, 540, 375, 270};
constexpr TwipsRect header0Twips{120, 300, 375, 225};
// A month frame, and the room between frames.
constexpr int monthWidthTwips = 7 * 375 + 240;
constexpr int monthHeightTwips = 540 + 6 * 272 + 120;
constexpr int monthGapTwips = 90;
// The column of the season frame, combo and buttons, left of the months.
constexpr int sideWidthTwips = 2400;
constexpr int marginTwips = 120;
// The row of "No laborable" under the seasons: the frame grows by it and the
// controls under the frame move down by it.
constexpr int nonWorkingRowTwips = 480;
constexpr int seasonFrameTwips = 2400 + nonWorkingRowTwips;

// Room left on each side of a weekday header's caption, so that the
// captions of neighbouring columns never run together.
constexpr int headerSideRoomTwips = 30;

double dpiOf(const QWidget& widget) {
    return widget.logicalDpiX();
}

QStringList weekdayCaptions() {
    return QStringList(texts::weekdayHeaders.begin(), texts::weekdayHeaders.end());
}

void placeTwips(QWidget& widget, const TwipsRect& r) {
    const double dpi = dpiOf(widget);
    widget.setGeometry(twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
                       twipsToPixels(r.width, dpi), twipsToPixels(r.height, dpi));
}
} // namespace

void R::buildControls() {
    // The form keeps its layout in twips; the area around it scrolls it when
    // the window is smaller.
    auto* area = new FormScrollArea(this);
    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("Formulario"));
    m_form = form;
    setCentralWidget(area);
    setWindowTitle(texts::designCaption);

    FrmTemporada = buildSeasonFrame(form);

    CmbAnio = new QComboBox(form);
    CmbAnio->setObjectName(QStringLiteral("CmbAnio"));
    CmbAnio->setEditable(true);
    CmbAnio->setInsertPolicy(QComboBox::NoInsert);
    placeTwips(*CmbAnio, {marginTwips, 2700 + nonWorkingRowTwips, sideWidthTwips, 330});
    connect(CmbAnio, &QComboBox::activated, this, &R::CmbAnio_Click);
    new YearComboKeys(*CmbAnio, [this] { CmbAnio_KeyPress(); });

    CmdCrearCalendario = new QPushButton(texts::createCalendar, form);
    CmdCrearCalendario->setObjectName(QStringLiteral("CmdCrearCalendario"));
    placeTwips(*CmdCrearCalendario, {marginTwips, 3180 + nonWorkingRowTwips, sideWidthTwips, 420});
    connect(CmdCrearCalendario, &QPushButton::clicked, this, &R::CmdCrearCalendario_Click);

    CmdSalir = new QPushButton(texts::exitButton, form);
    CmdSalir->setObjectName(QStringLiteral("CmdSalir"));
    placeTwips(*CmdSalir, {marginTwips, 3720 + nonWorkingRowTwips, sideWidthTwips, 420});
    connect(CmdSalir, &QPushButton::clicked, this, &R::CmdSalir_Click);

    Label1 = new QLabel(texts::help, form);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(*Label1, {marginTwips, 4320 + nonWorkingRowTwips, sideWidthTwips, 1800});

    for (int month = 1; month <= 12; ++month) {
        FrMes[static_cast<std::size_t>(month - 1)] = buildMonthFrame(form, month);
    }

    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setSizeGripEnabled(false);
    addStatusPanels(*sbStatusBar);
    setStatusBar(sbStatusBar);
    addHelpMenu(*this);

    const double dpi = dpiOf(*form);
    const int width = marginTwips * 2 + sideWidthTwips + 4 * (monthWidthTwips + monthGapTwips);
    const int height = marginTwips * 2 + 3 * (monthHeightTwips + monthGapTwips);
    form->setFixedSize(twipsToPixels(width, dpi), twipsToPixels(height, dpi));
    area->setWidget(form);
}

QWidget* R::buildSeasonFrame(QWidget* parent) {
    auto* frame = new QGroupBox(texts::seasonFrame, parent);
    frame->setObjectName(QStringLiteral("FrmTemporada"));
    placeTwips(*frame, {marginTwips, marginTwips, sideWidthTwips, seasonFrameTwips});
    for (const Season& season : seasons()) {
        const auto i = static_cast<std::size_t>(season.index);
        const int top = 360 + season.index * 480;
        OptTemp[i] = new QRadioButton(season.caption, frame);
        ui::nameArrayElement(*OptTemp[i], QStringLiteral("OptTemp"), season.index);
        placeTwips(*OptTemp[i], {120, top, 1680, 360});

        CmdColor[i] = new QToolButton(frame);
        CmdColor[i]->setText(texts::colourButton);
        CmdColor[i]->setToolTip(texts::colourButtonTip);
        ui::nameArrayElement(*CmdColor[i], QStringLiteral("CmdColor"), season.index);
        placeTwips(*CmdColor[i], {1860, top, 420, 360});
        connect(CmdColor[i], &QToolButton::clicked, this, [this, index = season.index] {
            guard(QStringLiteral("CmdColor_Click"), [&] { CmdColor_Click(index); });
        });
    }
    // Same frame, so the five options exclude each other.
    OptNoLaborable = new QRadioButton(texts::nonWorkingOption, frame);
    OptNoLaborable->setObjectName(QStringLiteral("OptNoLaborable"));
    OptNoLaborable->setToolTip(texts::nonWorkingOptionTip);
    placeTwips(*OptNoLaborable, {120, 360 + SeasonCount * 480, 2160, 360});
    OptTemp[0]->setChecked(true);
    return frame;
}

QGroupBox* R::buildMonthFrame(QWidget* parent, int month) {
    const auto m = static_cast<std::size_t>(month - 1);
    auto* frame = new QGroupBox(texts::monthFrames[m], parent);
    ui::nameArrayElement(*frame, QStringLiteral("FrMes"), month - 1);
    const int column = (month - 1) % 4;
    const int row = (month - 1) / 4;
    placeTwips(*frame, {marginTwips + sideWidthTwips + monthGapTwips +
                            column * (monthWidthTwips + monthGapTwips),
                        marginTwips + row * (monthHeightTwips + monthGapTwips), monthWidthTwips,
                        monthHeightTwips});

    // Element 0 of each array, as the form holds them before ArmarGrilla.
    auto* cell = new DayCell(frame);
    ui::nameArrayElement(*cell, QStringLiteral("OptDia%1").arg(month), 0);
    cell->setText(texts::noDay);
    placeTwips(*cell, cell0Twips);
    OptDia[m][0] = cell;

    auto* header = new QLabel(texts::weekdayHeaders[0], frame);
    ui::nameArrayElement(*header, QStringLiteral("LblDia%1").arg(month), 0);
    header->setAlignment(Qt::AlignCenter);
    placeTwips(*header, header0Twips);
    // Every caption fits its column with room to spare at either side.
    header->setFont(
        fontFitting(header->font(), weekdayCaptions(),
                    header->width() - 2 * twipsToPixels(headerSideRoomTwips, dpiOf(*header))));
    LblDia[m][0] = header;
    return frame;
}

void R::ArmarGrilla() {
    for (int month = 1; month <= 12; ++month) {
        const auto m = static_cast<std::size_t>(month - 1);
        DayCell& cell0 = *OptDia[m][0];
        QWidget& frame = *FrMes[m];
        const QString cellArray = cell0.objectName();
        const auto cells = cellRects(cell0Twips);
        for (int k = 1; k < CellsPerMonth; ++k) {
            auto* cell = new DayCell(&frame);
            ui::nameArrayElement(*cell, cellArray, k);
            cell->setFont(cell0.font());
            cell->setText(texts::noDay);
            placeTwips(*cell, cells[static_cast<std::size_t>(k)]);
            cell->setVisible(true);
            OptDia[m][static_cast<std::size_t>(k)] = cell;
        }
        for (int k = 0; k < CellsPerMonth; ++k) {
            connect(OptDia[m][static_cast<std::size_t>(k)], &DayCell::clicked, this,
                    [this, month, k] { OptDia_Click(month, k); });
        }

        QLabel& header0 = *LblDia[m][0];
        const auto headers = headerRects(header0Twips, cell0Twips);
        for (int z = 1; z < DaysPerWeek; ++z) {
            auto* header = new QLabel(texts::weekdayHeaders[static_cast<std::size_t>(z)], &frame);
            ui::nameArrayElement(*header, header0.objectName(), z);
            header->setAlignment(header0.alignment());
            header->setFont(header0.font());
            placeTwips(*header, headers[static_cast<std::size_t>(z)]);
            header->setVisible(true);
            LblDia[m][static_cast<std::size_t>(z)] = header;
        }
    }
    m_extras->attachToCells();
    ArmarAnio(nearestListYear(QDate::currentDate().year()));
}

} // namespace estaciones::calendar::window
