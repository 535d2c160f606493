#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/execute/Session.h"

#include <QString>

#include <vector>

namespace estaciones::db::sqlite {

// One argument of a procedure call: "@name = value" or a bare value.
struct CallArgument {
    QString name; // with "@"; empty for a positional argument
    Variant value;
    bool output = false; // "@v OUTPUT": the parameter's last value goes back to @v
    QString variable;    // the caller's variable when the value is one
};

// The text of the argument for parameter `name`, given by name or as the
// `position`-th positional one (from 0); empty when it is not given.
QString argumentText(const std::vector<CallArgument>& arguments, const char* name, int position);

// The server's login and role procedures (sp_addlogin, sp_grantdbaccess, ...)
// emulated over the data folder. Returns false when `procedure` is not one
// of them.
// master, tempdb, model and msdb, which every server has.
bool isSystemDatabase(const QString& name);

bool callSystemProcedure(Session& session, const QString& procedure,
                         const std::vector<CallArgument>& arguments);

} // namespace estaciones::db::sqlite
