#pragma once

#include "calendar/Season.h"
#include "calendar/YearPaint.h"
#include "calendar/extras/CalendarRows.h"
#include "calendar/window/RSession.h"

#include <QDate>
#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QToolButton;

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::calendar {
class SeasonStore;
}

namespace estaciones::calendar::window {

class CalendarExtras;
class DayCell;

// The calendar window: twelve month grids of day cells painted in the colour
// of each date's season; a click marks the date with the selected season.
// Control names are the suite's (ControlArrays.h for the arrays).
class R : public QMainWindow {
    Q_OBJECT
public:
    R(data::DB_Dll& db, RSession session, QWidget* parent = nullptr);
    ~R() override;

    // The load sequence. False when the session could not start and the
    // program must end (the window is then not shown).
    bool Form_Load();

    // Fills the year combo: 1930..2049, its current entry the current year.
    void CargarAnio();
    // Creates cells 1..41 and headers 1..6 of every month from element 0,
    // then paints the year shown.
    void ArmarGrilla();
    // Paints the twelve months of `anio` and the totals; from then on the
    // window's year is `anio`, and the year combo shows it as its current
    // entry. The callers validate the combo's text first (validateYear).
    void ArmarAnio(int anio);
    // Paints one month from the seasons of its year.
    void ArmarAlmanaque(int Mes, const std::array<CellPaint, CellsPerMonth>& paint);
    // The code stored for one date (one statement).
    QString Temporada(int DIA, int Mes, int anio);

    // The marking of one cell (a click on a day of the year painted).
    void Seleccionar(const QString& DIA, bool Asignar, int Mes, int Indice);

    const SeasonColours& colours() const { return m_colours; }
    bool GrillaLista() const { return m_grillaLista; }
    QString selectedSeasonCode() const;
    // Whether "No laborable" is chosen instead of a season: a click then
    // turns the day's non-working flag over and leaves its season.
    bool noLaborableElegido() const;
    // Gives every day of the year shown what its row holds beyond the
    // colour: its accessible name (date, season, non-working), and the
    // non-working frame when `mostrarNoLaborables`.
    void describirDias(const extras::CalendarRows& filas, bool mostrarNoLaborables);
    // The cell showing `fecha`; nullptr when the date is not of the year shown.
    DayCell* celdaDelDia(const QDate& fecha) const;
    // Chooses option `indice` as a click on it would: 0..3 the seasons,
    // 4 "No laborable".
    void elegirOpcion(int indice);
    // The year the grid shows: what clicks, ranges and exports act on,
    // whatever text the year box holds.
    int anioMostrado() const { return m_anioMostrado; }
    // The form inside the window, laid out in twips (it scrolls when the
    // window is smaller).
    QWidget& form() const { return *m_form; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void CmbAnio_Click(int index);
    void CmdSalir_Click();
    void CmdCrearCalendario_Click();

private:
    void buildControls();
    // Enter in the year combo: its text, if it is a year of the list.
    void CmbAnio_KeyPress();
    // The year combo's text as a year; when it is none, the operator is
    // told why and the box shows the painted year again.
    std::optional<int> anioDelCombo();
    void mostrarAnioEnCombo(int anio);
    // Sized for its content, kept on the screen and centred there.
    void placeOnScreen();
    QWidget* buildSeasonFrame(QWidget* parent);
    QGroupBox* buildMonthFrame(QWidget* parent, int month);
    void OptDia_Click(int Mes, int Index);
    void CmdColor_Click(int Index);
    // Reads the four season colours and paints the season buttons with them.
    void cargarColores();
    // The season buttons take `colours`, the grid paints with them.
    void mostrarColores(const SeasonColours& colours);
    // The one guard of every event handler: nothing escapes into the event
    // loop; an unexpected error is shown with the handler's name.
    void guard(const QString& handler, const std::function<void()>& body);

    data::DB_Dll& m_db;
    RSession m_session;
    std::unique_ptr<SeasonStore> m_store;
    SeasonColours m_colours;
    bool m_grillaLista = false;
    // While a long task (the year's creation and its script) runs, the
    // controls are off and a close waits for its end.
    bool m_ocupado = false;
    bool m_cierrePendiente = false;
    bool m_unloaded = false;
    bool m_placedWithFrame = false;
    int m_anioMostrado = 0;
    QWidget* m_form = nullptr;
    // Ranges, undo, totals, year copy, printing and export.
    CalendarExtras* m_extras = nullptr;

    QWidget* FrmTemporada = nullptr;
    std::array<QRadioButton*, SeasonCount> OptTemp{};
    QRadioButton* OptNoLaborable = nullptr;
    std::array<QToolButton*, SeasonCount> CmdColor{};
    QComboBox* CmbAnio = nullptr;
    QPushButton* CmdCrearCalendario = nullptr;
    QPushButton* CmdSalir = nullptr;
    QLabel* Label1 = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    std::array<QGroupBox*, 12> FrMes{};
    std::array<std::array<DayCell*, CellsPerMonth>, 12> OptDia{};
    std::array<std::array<QLabel*, DaysPerWeek>, 12> LblDia{};
};

} // namespace estaciones::calendar::window
