#pragma once

#include "platform/db/Engine.h"

#include <memory>

namespace estaciones::db {

// An engine that hands every call to another one: the base of engines that
// watch or change a few calls and leave the rest alone (a statement counter,
// a recorder, a stand-in for a server's behaviour).
class ForwardingEngine : public Engine {
public:
    explicit ForwardingEngine(std::unique_ptr<Engine> inner) : m_inner(std::move(inner)) {}

    void open(const QString& connectionString, const QString& user,
              const QString& password) override {
        m_inner->open(connectionString, user, password);
    }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }
    ExecutionResult execute(const QString& text, const std::vector<Variant>& parameters,
                            int timeoutSeconds) override {
        return m_inner->execute(text, parameters, timeoutSeconds);
    }
    void beginTransaction() override { m_inner->beginTransaction(); }
    void commitTransaction() override { m_inner->commitTransaction(); }
    void rollbackTransaction() override { m_inner->rollbackTransaction(); }
    int transactionDepth() const override { return m_inner->transactionDepth(); }
    QString currentDatabase() const override { return m_inner->currentDatabase(); }
    void useDatabase(const QString& name) override { m_inner->useDatabase(name); }
    void setIsolationLevel(int adoLevel) override { m_inner->setIsolationLevel(adoLevel); }
    ResultSet openSchema(int schema, const std::vector<Variant>& restrictions) override {
        return m_inner->openSchema(schema, restrictions);
    }
    QStringList primaryKeyColumns(const QString& table) override {
        return m_inner->primaryKeyColumns(table);
    }
    Variant lastIdentity() override { return m_inner->lastIdentity(); }
    QString quoteIdentifier(const QString& name) const override {
        return m_inner->quoteIdentifier(name);
    }
    QString userName() const override { return m_inner->userName(); }
    void setLoginTimeout(int seconds) override { m_inner->setLoginTimeout(seconds); }

protected:
    Engine& inner() { return *m_inner; }

private:
    std::unique_ptr<Engine> m_inner;
};

} // namespace estaciones::db
