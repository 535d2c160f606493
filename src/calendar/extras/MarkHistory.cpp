#include "calendar/extras/MarkHistory.h"
#include "calendar/extras/ExtrasTexts.h"

namespace estaciones::calendar::extras {

void MarkHistory::record(QList<DayChange> changes) {
    if (changes.isEmpty()) {
        return;
    }
    m_undo.append(std::move(changes));
    m_redo.clear();
}

WriteOutcome MarkHistory::undo() {
    return move(m_undo, m_redo, true);
}

WriteOutcome MarkHistory::redo() {
    return move(m_redo, m_undo, false);
}

WriteOutcome MarkHistory::move(QList<QList<DayChange>>& from, QList<QList<DayChange>>& to,
                               bool backwards) {
    if (from.isEmpty()) {
        return WriteOutcome::failed(backwards ? texts::nothingToUndo : texts::nothingToRedo);
    }
    const QList<DayChange>& mark = from.last();
    const QList<DayChange> writes = backwards ? reversed(mark) : mark;
    const WriteOutcome outcome = m_writer(writes);
    if (!outcome.stored) {
        return outcome; // the mark stays where it was
    }
    m_lastApplied = outcome.applied;
    from.removeLast();
    // Only the days written move over: a day another station changed since
    // is that station's now, no longer this window's to undo or redo.
    QList<DayChange> moved = backwards ? reversed(outcome.applied) : outcome.applied;
    if (!moved.isEmpty()) {
        to.append(std::move(moved));
    }
    return outcome;
}

} // namespace estaciones::calendar::extras
