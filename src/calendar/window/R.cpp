#include "calendar/window/R.h"

#include "calendar/CalendarTexts.h"
#include "calendar/CaptionDate.h"
#include "calendar/ColourSettings.h"
#include "calendar/MonthGrid.h"
#include "calendar/SeasonStore.h"
#include "calendar/extras/ExtrasTexts.h"
#include "calendar/window/CalendarExtras.h"
#include "calendar/window/DayCell.h"
#include "platform/core/ErrorHandling.h"
#include "platform/ui/OperatorInterface.h"
#include "session/MostrarError.h"
#include "session/library/WindowPreparation.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolButton>

namespace estaciones::calendar::window {

R::R(data::DB_Dll& db, RSession session, QWidget* parent)
    : QMainWindow(parent), m_db(db), m_session(std::move(session)),
      m_store(std::make_unique<SeasonStore>(db)) {
    setObjectName(QStringLiteral("R"));
    buildControls();
    m_extras = new CalendarExtras(*this, db);
}

R::~R() = default;

void R::guard(const QString& handler, const std::function<void()>& body) {
    guarded(body, [&](const Error& error) { session::MostrarError(error, handler); });
}

bool R::Form_Load() {
    bool keepRunning = true;
    guard(QStringLiteral("Form_Load"), [&] {
        ensurePolished();
        placeOnScreen();
        setWindowTitle(captionDate(QDate::currentDate()));
        if (m_session.IniciarSesion && !m_session.IniciarSesion()) {
            keepRunning = false;
            return;
        }
        if (m_session.ArmarBarraEstado) {
            m_session.ArmarBarraEstado(*sbStatusBar, QString());
        }
        library::prepareWindow(*this);
        CargarAnio();
        // Each key read once: the defaults written are read back, the rest kept.
        StoredSeasonColours stored = readSeasonColours();
        writeMissingSeasonColours(stored);
        mostrarColores(seasonColoursOf(stored));
        ArmarGrilla();
    });
    return keepRunning;
}

void R::placeOnScreen() {
    // Before the first show the window still has Qt's default size: it is
    // centred with the size its content asks for, within the screen's free
    // area. Once shown, its frame is known and counts too.
    library::fitOnScreen(*this, isVisible() ? size() : sizeHint());
}

void R::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_placedWithFrame && !event->spontaneous()) {
        m_placedWithFrame = true;
        placeOnScreen();
    }
}

void R::CargarAnio() {
    CmbAnio->clear();
    for (int year = FirstListYear; year <= LastListYear; ++year) {
        CmbAnio->addItem(QString::number(year));
    }
    // The shown year is the list's current entry, so that the arrow keys
    // and the wheel move on from it.
    mostrarAnioEnCombo(nearestListYear(QDate::currentDate().year()));
}

void R::mostrarAnioEnCombo(int anio) {
    const int index = CmbAnio->findText(QString::number(anio));
    CmbAnio->setCurrentIndex(index);
    CmbAnio->setEditText(QString::number(anio));
}

std::optional<int> R::anioDelCombo() {
    const YearValidation checked = validateYear(CmbAnio->currentText());
    if (!checked.year) {
        ui::operatorInterface().messageBox(checked.message,
                                           ui::style::OKOnly | ui::style::Exclamation);
        mostrarAnioEnCombo(m_anioMostrado);
    }
    return checked.year;
}

void R::cargarColores() {
    mostrarColores(loadSeasonColours());
}

void R::mostrarColores(const SeasonColours& colours) {
    m_colours = colours;
    for (const Season& season : seasons()) {
        const auto i = static_cast<std::size_t>(season.index);
        paintButtonFace(*OptTemp[i], m_colours.colour[i]);
    }
}

void R::ArmarAnio(int anio) {
    // One read of the year serves the paint and what the additions show.
    bool complete = true;
    const extras::CalendarRows rows = m_extras->readYearForPaint(anio, complete);
    if (!complete) {
        return; // the data access class told the operator; the grid stays as it was
    }
    const YearPaint paint = paintYear(anio, m_colours, [&](int day, int month) {
        return rows.value(QDate(anio, month, day)).codeText();
    });
    m_anioMostrado = anio;
    mostrarAnioEnCombo(anio);
    for (int month = 1; month <= 12; ++month) {
        ArmarAlmanaque(month, paint[static_cast<std::size_t>(month - 1)]);
    }
    m_extras->yearPainted(rows);
}

void R::ArmarAlmanaque(int Mes, const std::array<CellPaint, CellsPerMonth>& paint) {
    const auto m = static_cast<std::size_t>(Mes - 1);
    for (std::size_t k = 0; k < paint.size(); ++k) {
        DayCell& cell = *OptDia[m][k];
        const CellPaint& p = paint[k];
        // Set once: a font set again costs a font change event per cell.
        if (!cell.font().bold()) {
            QFont font = cell.font();
            font.setBold(true);
            cell.setFont(font);
        }
        cell.setText(p.caption);
        cell.setEnabled(p.enabled);
        if (p.background) {
            cell.setBackground(*p.background);
        }
        m_grillaLista = false;
        cell.setChecked(false);
    }
    m_grillaLista = true;
}

QString R::Temporada(int DIA, int Mes, int anio) {
    return m_store->Temporada(DIA, Mes, anio);
}

QString R::selectedSeasonCode() const {
    for (const Season& season : seasons()) {
        if (OptTemp[static_cast<std::size_t>(season.index)]->isChecked()) {
            return season.code;
        }
    }
    return {};
}

bool R::noLaborableElegido() const {
    return OptNoLaborable->isChecked();
}

void R::describirDias(const extras::CalendarRows& filas, bool mostrarNoLaborables) {
    for (int month = 1; month <= 12; ++month) {
        const MonthLayout layout = monthLayout(month, m_anioMostrado);
        for (int k = 0; k < CellsPerMonth; ++k) {
            DayCell& cell =
                *OptDia[static_cast<std::size_t>(month - 1)][static_cast<std::size_t>(k)];
            if (!layout.hasDay(k)) {
                cell.setNonWorkingShown(false);
                cell.setAccessibleName(QString());
                continue;
            }
            const QDate fecha(m_anioMostrado, month, layout.dayAt(k));
            const auto fila = filas.constFind(fecha);
            const bool hayFila = fila != filas.constEnd();
            cell.setNonWorkingShown(mostrarNoLaborables && hayFila && fila->nolaborable);
            cell.setAccessibleName(
                hayFila ? extras::texts::accessibleDay(fecha, fila->codeText(), fila->nolaborable)
                        : extras::texts::accessibleDayWithoutRow(fecha));
        }
    }
}

DayCell* R::celdaDelDia(const QDate& fecha) const {
    if (!fecha.isValid() || fecha.year() != m_anioMostrado) {
        return nullptr;
    }
    const MonthLayout layout = monthLayout(fecha.month(), fecha.year());
    return OptDia[static_cast<std::size_t>(fecha.month() - 1)]
                 [static_cast<std::size_t>(layout.cellOf(fecha.day()))];
}

void R::elegirOpcion(int indice) {
    if (indice >= 0 && indice < SeasonCount) {
        OptTemp[static_cast<std::size_t>(indice)]->click();
    } else if (indice == SeasonCount) {
        OptNoLaborable->click();
    }
}

void R::OptDia_Click(int Mes, int Index) {
    guard(QStringLiteral("OptDia%1_Click").arg(Mes), [&] {
        if (m_grillaLista) {
            const DayCell& cell =
                *OptDia[static_cast<std::size_t>(Mes - 1)][static_cast<std::size_t>(Index)];
            Seleccionar(cell.text(), true, Mes, Index);
        }
    });
}

void R::Seleccionar(const QString& DIA, bool Asignar, int Mes, int Indice) {
    DayCell& cell = *OptDia[static_cast<std::size_t>(Mes - 1)][static_cast<std::size_t>(Indice)];
    // The cell's value goes back to unselected whatever happens, without
    // being taken for a click.
    struct ResetCell {
        R& window;
        DayCell& cell;
        ~ResetCell() {
            window.m_grillaLista = false;
            cell.setChecked(false);
            window.m_grillaLista = true;
        }
    } reset{*this, cell};

    const int year = m_anioMostrado;
    const QString code = selectedSeasonCode();
    if (!Asignar) {
        return;
    }
    if (noLaborableElegido()) {
        m_extras->alternarNoLaborable(QDate(year, Mes, DIA.toInt()));
        return;
    }
    AssignResult result;
    m_extras->storeClick(QDate(year, Mes, DIA.toInt()), [&] {
        result = m_store->AsignarTemporada(DIA.toInt(), Mes, year, code);
        return result.outcome == AssignResult::Outcome::Stored;
    });
    switch (result.outcome) {
    case AssignResult::Outcome::Stored:
        if (const auto colour = m_colours.colourOfCode(code)) {
            cell.setBackground(*colour);
        }
        break;
    case AssignResult::Outcome::NoRow:
        // Painting would show a season that was not stored.
        ui::operatorInterface().messageBox(texts::calendarNotCreated(year),
                                           ui::style::OKOnly | ui::style::Exclamation);
        break;
    case AssignResult::Outcome::Failed:
        ui::operatorInterface().messageBox(result.errorDescription, ui::style::OKOnly);
        break;
    }
}

void R::CmdColor_Click(int Index) {
    const auto i = static_cast<std::size_t>(Index);
    const std::optional<BgrColour> chosen =
        ui::operatorInterface().chooseColor(m_colours.colour[i]);
    if (!chosen) {
        return; // cancelled: nothing changes
    }
    paintButtonFace(*OptTemp[i], *chosen);
    storeSeasonColour(Index, *chosen);
    cargarColores();
    ArmarAnio(m_anioMostrado);
}

void R::CmbAnio_Click(int index) {
    guard(QStringLiteral("CmbAnio_Click"), [&] {
        if (const std::optional<int> anio = validateYear(CmbAnio->itemText(index)).year) {
            ArmarAnio(*anio);
        }
    });
}

void R::CmbAnio_KeyPress() {
    guard(QStringLiteral("CmbAnio_KeyPress"), [&] {
        if (const std::optional<int> anio = anioDelCombo()) {
            ArmarAnio(*anio);
        }
    });
}

void R::CmdCrearCalendario_Click() {
    if (m_ocupado || !m_session.CrearCalendario) {
        return;
    }
    std::optional<int> anio;
    guard(QStringLiteral("CmdCrearCalendario_Click"), [&] { anio = anioDelCombo(); });
    if (!anio) {
        return;
    }
    // The script runner lets window events run: no second run and no
    // unload may start under it.
    m_ocupado = true;
    centralWidget()->setEnabled(false);
    guard(QStringLiteral("CmdCrearCalendario_Click"), [&] {
        m_session.CrearCalendario(*this, *anio);
        // The new rows and the Sundays show at once, with their totals.
        ArmarAnio(*anio);
    });
    centralWidget()->setEnabled(true);
    m_ocupado = false;
    if (m_cierrePendiente) {
        close();
    }
}

void R::CmdSalir_Click() {
    guard(QStringLiteral("CmdSalir_Click"), [&] { close(); });
}

void R::closeEvent(QCloseEvent* event) {
    if (m_ocupado) {
        m_cierrePendiente = true;
        event->ignore();
        return;
    }
    guard(QStringLiteral("Form_Unload"), [&] {
        if (m_unloaded) {
            return;
        }
        m_unloaded = true;
        if (m_session.FinalizarSesion) {
            m_session.FinalizarSesion();
        }
        if (m_session.endProgram) {
            m_session.endProgram();
        }
    });
    event->accept();
}

} // namespace estaciones::calendar::window
