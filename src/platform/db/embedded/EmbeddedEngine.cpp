#include "platform/db/embedded/EmbeddedEngine.h"

#include "platform/db/ConnectionString.h"
#include "platform/db/embedded/DatabaseSeeder.h"
#include "platform/db/embedded/catalog/SchemaRowsets.h"
#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/SessionSettings.h"

namespace estaciones::db::sqlite {

namespace {

// One call of the engine: whatever it committed is on the disk when it
// returns, also when it fails.
class EngineCall {
public:
    explicit EngineCall(Session& session) : m_session(session) { m_session.beginCall(); }
    ~EngineCall() { m_session.endCall(); }
    EngineCall(const EngineCall&) = delete;
    EngineCall& operator=(const EngineCall&) = delete;

private:
    Session& m_session;
};

class EmbeddedEngine final : public Engine {
public:
    void open(const QString& connectionString, const QString& user,
              const QString& /*password: a local file database has no authentication*/) override {
        if (m_session) {
            throw standardError(errnum::ObjectOpen);
        }
        const ConnectionString parsed(connectionString);
        QString login = user;
        if (login.isEmpty()) {
            login = parsed.firstOf({"UID", "User Id", "User ID", "User"}).value_or(QString());
        }
        QString database =
            parsed.firstOf({"Database", "Initial Catalog"}).value_or(QString()).trimmed();
        if (database.isEmpty()) {
            database = QStringLiteral("master");
        }
        auto session = std::make_unique<Session>(DataFolder::locate(), seedDatabase);
        session->user = login;
        applyLoginLanguage(*session);
        session->use(database, true);
        m_session = std::move(session);
    }

    void close() override {
        if (m_session) {
            m_session->closeAll();
        }
        m_session.reset();
    }

    bool isOpen() const override { return m_session != nullptr; }

    ExecutionResult execute(const QString& text, const std::vector<Variant>& parameters,
                            int timeoutSeconds) override {
        Session& running = session();
        const EngineCall call(running);
        return BatchExecutor(running, parameters, timeoutSeconds).run(text);
    }

    void beginTransaction() override { session().beginTransaction(); }
    void commitTransaction() override {
        Session& running = session();
        const EngineCall call(running);
        running.commitTransaction();
    }
    void rollbackTransaction() override { session().rollbackTransaction(); }
    int transactionDepth() const override { return m_session ? m_session->transactionDepth() : 0; }

    QString currentDatabase() const override { return session().current().name(); }
    void useDatabase(const QString& name) override { session().use(name); }

    // WAL readers always see committed data; read uncommitted (256) asks for
    // less isolation, which is harmless to refuse silently.
    void setIsolationLevel(int) override {}

    ResultSet openSchema(int schema, const std::vector<Variant>& restrictions) override {
        SqliteDatabase& database = session().current();
        if (schema == adschema::Tables) {
            return tablesRowset(database, restrictions);
        }
        if (schema == adschema::Columns) {
            return columnsRowset(database, restrictions);
        }
        throw Error(errnum::OperationNotAllowed, standardDescription(errnum::OperationNotAllowed));
    }

    QStringList primaryKeyColumns(const QString& table) override {
        return session().current().primaryKeyColumns(table);
    }

    Variant lastIdentity() override { return session().lastIdentity; }

    QString quoteIdentifier(const QString& name) const override {
        QString escaped = name;
        escaped.replace(QLatin1Char(']'), QLatin1String("]]"));
        return QLatin1Char('[') + escaped + QLatin1Char(']');
    }

    QString userName() const override { return m_session ? m_session->user : QString(); }

private:
    Session& session() const {
        if (!m_session) {
            throw standardError(errnum::ObjectClosed);
        }
        return *m_session;
    }

    std::unique_ptr<Session> m_session;
};

} // namespace

std::unique_ptr<Engine> createEmbeddedEngine() {
    return std::make_unique<EmbeddedEngine>();
}

void prebuildSeedDatabase(const QString& seedFile) {
    prebuildSeed(seedFile, prebuiltOf(seedFile));
}

} // namespace estaciones::db::sqlite
