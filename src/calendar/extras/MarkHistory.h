#pragma once

#include "calendar/extras/CodeWrites.h"

#include <QList>

#include <functional>

namespace estaciones::calendar::extras {

// The operator's marks of this session, for undo and redo. A mark is a group
// of day changes (one click, one range, one copy). Undoing stores the codes
// from before the mark at once, like a click; redoing stores the mark again.
// The window's writer changes a day only while it holds what this window
// wrote (writeIfUnchanged): the days another station changed since are left
// as they are, reported in the outcome and dropped from the mark.
// The history knows dates, not cells, so it outlives repaints and year
// changes.
class MarkHistory {
public:
    // Stores a group of changes; the history's writer by default, a test
    // may pass another.
    using Writer = std::function<WriteOutcome(const QList<DayChange>&)>;

    explicit MarkHistory(Writer writer) : m_writer(std::move(writer)) {}

    // A new mark: the redo history is dropped, as in any editor. Marks that
    // changed nothing are not kept.
    void record(QList<DayChange> changes);

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    qsizetype undoCount() const { return m_undo.size(); }

    // Stores the codes from before the last mark. When the write fails the
    // mark stays where it was, so the operator can try again.
    WriteOutcome undo();
    WriteOutcome redo();

    // The changes the last undo or redo wrote.
    const QList<DayChange>& lastApplied() const { return m_lastApplied; }

private:
    WriteOutcome move(QList<QList<DayChange>>& from, QList<QList<DayChange>>& to, bool backwards);

    Writer m_writer;
    QList<QList<DayChange>> m_undo;
    QList<QList<DayChange>> m_redo;
    QList<DayChange> m_lastApplied;
};

} // namespace estaciones::calendar::extras
