#include "platform/db/embedded/execute/TableVariables.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/errors/TableVariableNames.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/translate/IdentityColumns.h"

#include <atomic>

namespace estaciones::db::sqlite {

QString tableVariableTable(const QString& variable) {
    static std::atomic<unsigned long long> made{0};
    return QStringLiteral("%1%2_%3").arg(tableVariablePrefix).arg(++made).arg(variable.mid(1));
}

void dropTableVariableTable(Session& session, const QString& table) {
    if (!session.hasCurrent()) {
        return;
    }
    ignoringErrors([&] {
        session.current().run(
            QStringLiteral("DROP TABLE IF EXISTS %1;\n").arg(tsql::quoteName(table)) +
            tsql::schema::forgetIdentity(table).join(QStringLiteral(";\n")));
    });
}

ScopeTables::~ScopeTables() {
    for (const QString& table : m_scope.tables()) {
        if (table != m_kept) {
            dropTableVariableTable(m_session, table);
        }
    }
}

} // namespace estaciones::db::sqlite
