// estaciones-sql: a command-line companion in the spirit of sqlcmd. Runs a
// query (-Q) or scripts (-i, batches separated by GO lines) on any engine
// of the database layer and prints the results as text.
//
//   estaciones-sql -S "(local)" -d DEMO -Q "SELECT * FROM TA_USUARIOS"
//   estaciones-sql --cadena "Driver=SQLite3;Database=/tmp/x.db" -i script.sql -b
//
// Passwords are never echoed: not in messages, not in the usage text.

#include "platform/core/Decimal.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DateCellText.h"
#include "platform/db/RealCellText.h"
#include "platform/db/Recordset.h"

#include "ScriptBatchReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <optional>

using namespace estaciones;
using namespace estaciones::db;

namespace {

struct Options {
    QString server = QStringLiteral("(local)");
    QString database;
    QString user;
    QString password;
    std::optional<QString> connectionString; // --cadena
    QStringList queries;                     // -Q / -q
    QStringList inputFiles;                  // -i
    QString separator = QStringLiteral(" ");
    bool trim = false;        // -W
    bool headers = true;      // -h -1 turns them off
    bool exitOnError = false; // -b
    QString outputFile;       // -o
    int commandTimeout = 0;   // -t: sqlcmd waits for ever by default
};

const char* const kUsage =
    "Uso: estaciones-sql [-S servidor] [-d base] [-U usuario] [-P clave] [--cadena \"cadena de "
    "conexion\"]\n"
    "                    (-Q \"texto\" | -i archivo ...) [-s separador] [-W] [-h -1] [-b] [-t segundos] [-o "
    "salida]\n"
    "  -S servidor   \"(local)\" (motor embebido, por defecto) o un SQL Server (host, "
    "host\\instancia, host,puerto)\n"
    "  -d base       base de datos\n"
    "  -U, -P        usuario y clave\n"
    "  --cadena      una cadena de conexion completa (PROVIDER=..., DSN=..., Driver=...)\n"
    "  -Q texto      ejecuta el texto y termina\n"
    "  -i archivo    ejecuta un guion; los lotes se separan con lineas GO\n"
    "  -s c          separador de columnas (un espacio por defecto)\n"
    "  -W            quita los blancos de relleno\n"
    "  -h -1         sin cabeceras\n"
    "  -b            termina con codigo 1 al primer error\n"
    "  -t segundos   espera de cada lote (0, por defecto: sin limite)\n";

class Runner {
public:
    Runner(const Options& options, QTextStream& out) : m_options(options), m_out(out) {}

    QString hide(QString text) const {
        if (m_options.password.size() >= 3) {
            text.replace(m_options.password, QStringLiteral("****"));
        }
        if (m_options.connectionString) {
            const ConnectionString cs(*m_options.connectionString);
            const QString pwd = cs.firstOf({"PWD", "Password"}).value_or(QString());
            if (pwd.size() >= 3) {
                text.replace(pwd, QStringLiteral("****"));
            }
        }
        return text;
    }

    // sqlcmd's form: "Msg <native>, Level <severity>, State <state>, Line <line>" then the text.
    void printMessage(const ProviderError& e, int lineOffset) {
        const std::int32_t number = e.nativeError; // the server's own number, as sqlcmd shows it
        (void)lineOffset;                          // sqlcmd numbers lines within the batch
        const int line = std::max(1, e.line);
        m_out << QStringLiteral("Msg %1, Level %2, State %3, Line %4\n")
                     .arg(number)
                     .arg(e.severity)
                     .arg(e.messageState)
                     .arg(line);
        m_out << hide(e.description) << '\n';
        m_out.flush();
    }

    void printError(const Error& error, int lineOffset) {
        if (const auto* failure = dynamic_cast<const ProviderFailure*>(&error)) {
            for (const ProviderError& r : failure->records()) {
                printMessage(r, lineOffset);
            }
            return;
        }
        ProviderError e;
        e.number = error.number();
        e.nativeError = error.nativeError() != 0 ? error.nativeError() : error.number();
        e.description = error.description();
        printMessage(e, lineOffset);
    }

    // A value as sqlcmd shows it: money with its four decimals, decimal and
    // numeric at their column's scale, real by the digits of its four bytes.
    static QString format(const Variant& v, const ColumnInfo& column) {
        const bool money = column.type == adtype::Currency;
        const bool exact = column.type == adtype::Numeric || column.type == adtype::Decimal;
        switch (v.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null:
            return QStringLiteral("NULL");
        case Variant::Type::Boolean:
            return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case Variant::Type::Currency:
            return v.toCurrency().toFixedString();
        case Variant::Type::Decimal: {
            const Decimal value = v.toDecimal();
            if (exact && column.numericScale != value.scale()) {
                if (const auto rescaled = value.rescaled(column.numericScale)) {
                    return rescaled->toString();
                }
            }
            return value.toString();
        }
        case Variant::Type::Double:
            if (column.type == adtype::Single) {
                return realCellText(v.toDouble());
            }
            [[fallthrough]];
        case Variant::Type::Integer:
            if (money || (exact && column.numericScale > 0)) {
                return QString::number(v.toDouble(), 'f', money ? 4 : column.numericScale);
            }
            return v.toString();
        case Variant::Type::Date:
            return dateCellText(v.toDate(), column);
        case Variant::Type::Bytes:
            return hexLiteral(v.toBytes());
        default:
            return v.toString();
        }
    }

    void printResultSet(const ResultSet& set) {
        const std::size_t columns = set.columns.size();
        std::vector<std::vector<QString>> rows;
        rows.reserve(set.rows.size());
        for (const std::vector<Variant>& values : set.rows) {
            std::vector<QString> row;
            for (std::size_t i = 0; i < columns; ++i) {
                row.push_back(i < values.size() ? format(values[i], set.columns[i])
                                                : QStringLiteral("NULL"));
            }
            rows.push_back(std::move(row));
        }
        std::vector<qsizetype> widths(columns, 0);
        for (std::size_t i = 0; i < columns; ++i) {
            widths[i] = set.columns[i].name.size();
            for (const auto& row : rows) {
                widths[i] = std::max(widths[i], row[i].size());
            }
        }
        auto writeLine = [&](const std::vector<QString>& cells) {
            QStringList parts;
            for (std::size_t i = 0; i < columns; ++i) {
                parts << (m_options.trim ? cells[i].trimmed()
                                         : cells[i].leftJustified(widths[i], QLatin1Char(' ')));
            }
            QString line = parts.join(m_options.separator);
            if (m_options.trim) {
                while (line.endsWith(QLatin1Char(' ')) &&
                       m_options.separator != QLatin1String(" ")) {
                    line.chop(1);
                }
            }
            m_out << line << '\n';
        };
        if (m_options.headers) {
            // A column without a name keeps an empty header, as sqlcmd's.
            std::vector<QString> names;
            std::vector<QString> dashes;
            for (std::size_t i = 0; i < columns; ++i) {
                names.push_back(set.columns[i].name);
                dashes.push_back(QString(m_options.trim ? set.columns[i].name.size() : widths[i],
                                         QLatin1Char('-')));
            }
            writeLine(names);
            writeLine(dashes);
        }
        for (const auto& row : rows) {
            writeLine(row);
        }
        if (m_options.headers) {
            m_out << '\n' << QStringLiteral("(%1 rows affected)").arg(rows.size()) << '\n';
        }
    }

    // PRINT and messages of severity 10 or less are their text alone; errors
    // have sqlcmd's "Msg" line.
    void printInformation(const ProviderError& message, int lineOffset) {
        if (message.severity <= 10) {
            m_out << hide(message.description) << '\n';
        } else {
            printMessage(message, lineOffset);
        }
    }

    // Everything the batch gave, in order: result sets, counts, messages.
    void printOutput(const ExecutionResult& result, int lineOffset) {
        bool printedResultSet = false;
        for (const BatchOutput& printed : result.output) {
            switch (printed.kind) {
            case BatchOutput::Kind::ResultSet:
                if (printedResultSet && m_options.headers) {
                    m_out << '\n';
                }
                printResultSet(result.resultSets.at(printed.resultSet));
                printedResultSet = true;
                break;
            case BatchOutput::Kind::RowsAffected:
                if (m_options.headers) {
                    m_out << QStringLiteral("(%1 rows affected)").arg(printed.rowsAffected) << '\n';
                }
                break;
            case BatchOutput::Kind::Message:
                printInformation(printed.message, lineOffset);
                break;
            }
        }
        m_out.flush();
    }

    // The results of an engine that does not keep their order: every result
    // set, then the count, then the warnings.
    void printUnordered(const ExecutionResult& result, int lineOffset) {
        for (std::size_t i = 0; i < result.resultSets.size(); ++i) {
            if (i > 0 && m_options.headers) {
                m_out << '\n';
            }
            printResultSet(result.resultSets[i]);
        }
        if (result.resultSets.empty() && result.rowsAffected >= 0 && m_options.headers) {
            m_out << QStringLiteral("(%1 rows affected)").arg(result.rowsAffected) << '\n';
        }
        for (const ProviderError& warning : result.warnings) {
            printMessage(warning, lineOffset);
        }
        m_out.flush();
    }

    // Runs one batch; false when it failed.
    bool runBatch(Connection& cnn, const QString& text, int lineOffset) {
        try {
            const ExecutionResult result = cnn.engine()->execute(text, {}, 0);
            if (result.output.empty()) {
                printUnordered(result, lineOffset);
            } else {
                printOutput(result, lineOffset);
            }
            return true;
        } catch (const ProviderFailure& failure) {
            // What ran before (and after) the errors is printed with them.
            if (const ExecutionResult* partial = failure.partialResult()) {
                printOutput(*partial, lineOffset);
            } else {
                printError(failure, lineOffset);
            }
            return false;
        } catch (const Error& e) {
            printError(e, lineOffset);
            return false;
        }
    }

private:
    const Options& m_options;
    QTextStream& m_out;
};

std::optional<Options> parse(const QStringList& args, QString& problem) {
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                problem = QStringLiteral("Falta el valor de la opcion %1").arg(a);
                return std::nullopt;
            }
            return args[++i];
        };
        std::optional<QString> v;
        if (a == QLatin1String("-S")) {
            if (!(v = next()))
                return std::nullopt;
            o.server = *v;
        } else if (a == QLatin1String("-d")) {
            if (!(v = next()))
                return std::nullopt;
            o.database = *v;
        } else if (a == QLatin1String("-U")) {
            if (!(v = next()))
                return std::nullopt;
            o.user = *v;
        } else if (a == QLatin1String("-P")) {
            if (!(v = next()))
                return std::nullopt;
            o.password = *v;
        } else if (a == QLatin1String("--cadena") || a == QLatin1String("-C")) {
            if (!(v = next()))
                return std::nullopt;
            o.connectionString = *v;
        } else if (a == QLatin1String("-Q") || a == QLatin1String("-q")) {
            if (!(v = next()))
                return std::nullopt;
            o.queries << *v;
        } else if (a == QLatin1String("-i")) {
            if (!(v = next()))
                return std::nullopt;
            o.inputFiles << *v;
        } else if (a == QLatin1String("-s")) {
            if (!(v = next()))
                return std::nullopt;
            o.separator = *v;
        } else if (a == QLatin1String("-o")) {
            if (!(v = next()))
                return std::nullopt;
            o.outputFile = *v;
        } else if (a == QLatin1String("-h")) {
            if (!(v = next()))
                return std::nullopt;
            o.headers = v->trimmed() != QLatin1String("-1");
        } else if (a == QLatin1String("-t")) {
            if (!(v = next()))
                return std::nullopt;
            bool number = false;
            o.commandTimeout = v->trimmed().toInt(&number);
            if (!number || o.commandTimeout < 0 || o.commandTimeout > 65535) {
                problem = QStringLiteral("-t necesita un numero de segundos entre 0 y 65535");
                return std::nullopt;
            }
        } else if (a == QLatin1String("-W")) {
            o.trim = true;
        } else if (a == QLatin1String("-b")) {
            o.exitOnError = true;
        } else if (a == QLatin1String("-E")) {
            // Trusted connection: nothing to send.
        } else if (a == QLatin1String("-?") || a == QLatin1String("--help") ||
                   a == QLatin1String("-h?")) {
            problem.clear();
            return std::nullopt;
        } else {
            problem = QStringLiteral("Opcion desconocida: %1")
                          .arg(a.startsWith(QLatin1Char('-')) ? a : QStringLiteral("(valor)"));
            return std::nullopt;
        }
    }
    if (o.queries.isEmpty() && o.inputFiles.isEmpty()) {
        problem = QStringLiteral("Falta -Q o -i");
        return std::nullopt;
    }
    return o;
}

QString buildConnectionString(const Options& o) {
    if (o.connectionString) {
        return *o.connectionString;
    }
    QString text = QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;").arg(o.server);
    if (!o.database.isEmpty()) {
        text += QStringLiteral("Database =%1;").arg(o.database);
    }
    text += QStringLiteral("UId=%1;Pwd=%2;").arg(o.user, o.password);
    return text;
}

// The transactions a script left open: the connection's end rolls them
// back, so the work they hold was never done (0 where the server cannot say).
int openTransactions(Connection& cnn) {
    try {
        Recordset rs = cnn.execute(QStringLiteral("SELECT @@TRANCOUNT"));
        return rs.state() == adStateOpen && !rs.eof() ? rs.fields(0).value().toInt32() : 0;
    } catch (const Error&) {
        return 0;
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("estaciones-sql"));
    QString problem;
    const std::optional<Options> parsed = parse(QCoreApplication::arguments(), problem);
    QTextStream err(stderr);
    if (!parsed) {
        if (!problem.isEmpty()) {
            err << problem << '\n';
        }
        err << kUsage;
        return problem.isEmpty() ? 0 : 1;
    }
    const Options& options = *parsed;

    QFile outFile;
    QTextStream out(stdout);
    if (!options.outputFile.isEmpty()) {
        outFile.setFileName(options.outputFile);
        if (!outFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            err << "No se puede escribir " << options.outputFile << '\n';
            return 1;
        }
        out.setDevice(&outFile);
    }
    out.setEncoding(QStringConverter::Utf8);
    Runner runner(options, out);

    Connection cnn;
    cnn.setCursorLocation(adUseClient);
    cnn.setCommandTimeout(options.commandTimeout);
    try {
        // A user or password given on the command line wins over the string's.
        cnn.open(buildConnectionString(options),
                 options.connectionString ? options.user : QString(),
                 options.connectionString ? options.password : QString());
    } catch (const Error& e) {
        runner.printError(e, 0);
        return 1;
    }

    bool failed = false;
    for (const QString& query : options.queries) {
        if (!runner.runBatch(cnn, query, 0)) {
            failed = true;
            if (options.exitOnError) {
                return 1;
            }
        }
    }
    for (const QString& path : options.inputFiles) {
        sqlcmd::ScriptBatchReader script;
        if (!script.open(path)) {
            out << QStringLiteral(
                       "Sqlcmd: Error: Error occurred while opening or operating on file %1.")
                       .arg(path)
                << '\n';
            out.flush();
            return 1;
        }
        while (const std::optional<sqlcmd::ScriptBatch> batch = script.next()) {
            if (batch->badCountLine > 0) {
                out << QStringLiteral("Sqlcmd: Error: Syntax error at line %1 near command 'GO' "
                                      "in file '%2'.")
                           .arg(batch->badCountLine)
                           .arg(path)
                    << '\n';
                failed = true;
                if (options.exitOnError) {
                    return 1;
                }
                continue;
            }
            for (int i = 0; i < batch->repeat; ++i) {
                if (!runner.runBatch(cnn, batch->text, batch->firstLine - 1)) {
                    failed = true;
                    if (options.exitOnError) {
                        return 1;
                    }
                }
            }
        }
    }
    out.flush();
    if (const int open = openTransactions(cnn); open > 0) {
        err << QStringLiteral("La sesion termina con %1 transaccion(es) abierta(s) (@@TRANCOUNT): "
                              "se deshacen y su trabajo no queda guardado.")
                   .arg(open)
            << '\n';
        return 1;
    }
    return failed && options.exitOnError ? 1 : 0;
}
