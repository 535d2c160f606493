#pragma once

#include "platform/core/Variant.h"
#include "platform/db/AdoConstants.h"
#include "platform/db/Field.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace estaciones::db {

class Connection;

// ADO's Recordset. A handle with reference semantics (copies share one
// recordset); a default-constructed Recordset is a new, closed one.
//
// The rows are read when the recordset opens. With the connection's
// CursorLocation adUseClient every recordset is static whatever cursor type
// was asked: all moves work and RecordCount is exact. With adUseServer a
// forward-only recordset refuses to move backwards (0x80040E24) and reports
// RecordCount -1, as a dynamic one does.
//
// Errors: 3704 on a closed recordset, 3705 when opening an open one, 3021
// when the current row is BOF/EOF, 3219 when closing with an edit pending,
// 3251 when writing to a read-only recordset, 0x80040E38 when Update finds
// no row to write.
class Recordset {
public:
    Recordset();

    // Runs `source` on `activeConnection` (which must be open: 3709 otherwise).
    void open(const QString& source, const Connection& activeConnection,
              int cursorType = adOpenForwardOnly, int lockType = adLockReadOnly,
              int options = adOptionUnspecified);
    // The same on the connection set by setActiveConnection.
    void open(const QString& source, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, int options = adOptionUnspecified);
    void close();
    int state() const; // adStateClosed / adStateOpen
    // The next result of a text that returned several (SELECT; SELECT), as a
    // new open recordset; this one is closed. A closed recordset when none
    // is left.
    Recordset nextRecordset();

    void setActiveConnection(const Connection& connection);
    std::optional<Connection> activeConnection() const;

    // Settable while closed; once open they tell what the recordset really is
    // (adOpenStatic for every client-cursor recordset).
    int cursorType() const;
    void setCursorType(int type);
    int lockType() const;
    void setLockType(int type);
    int cursorLocation() const;
    void setCursorLocation(int location); // -1 (default): the connection's
    QString source() const;

    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    void move(std::int64_t rows);
    // Exact count for static recordsets; -1 for forward-only and dynamic ones.
    std::int64_t recordCount() const;
    // 1-based position of the current row; -2 at BOF, -3 at EOF (ADO's adPosBOF/adPosEOF).
    std::int64_t absolutePosition() const;

    Fields fields() const;
    Field fields(int index) const { return Fields::itemOf(m_state, index); }
    Field fields(const QString& name) const { return Fields::itemOf(m_state, name); }
    Field operator[](int index) const { return fields(index); }
    Field operator[](const QString& name) const { return fields(name); }
    Field operator[](const char* name) const { return fields(QString::fromUtf8(name)); }

    // ADO GetRows: up to `rows` rows (-1: all) from the current one, as
    // result[field][row]; the current row moves past the last row read.
    std::vector<std::vector<Variant>> getRows(std::int64_t rows = -1);

    // Editing (lock type adLockOptimistic over one table). addNew starts a new
    // row (fields Null or as set); update writes the pending row (INSERT, or
    // UPDATE located by primary key plus the original values of the changed
    // columns, every original value when the table has no key) and reads an
    // identity value back; cancelUpdate drops the pending change.
    void addNew();
    void update();
    void cancelUpdate();
    int editMode() const; // adEditNone / adEditInProgress / adEditAdd

    // The table an update writes to ("" when the rows do not come from one table).
    QString baseTable() const;

    bool sameObjectAs(const Recordset& other) const { return m_state == other.m_state; }

    // A recordset held in a Variant (typeName "Recordset"), as VB code passes
    // object references around; fromVariant gives nullopt for anything else.
    Variant toVariant() const;
    static std::optional<Recordset> fromVariant(const Variant& value);

private:
    friend class Connection;
    explicit Recordset(RecordsetHandle state) : m_state(std::move(state)) {}
    RecordsetHandle m_state;
};

} // namespace estaciones::db
