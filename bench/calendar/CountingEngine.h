#pragma once

#include "platform/db/Engine.h"

#include <memory>

namespace estaciones::bench {

// An engine that counts the statements it is given and passes everything on:
// how many round trips a paint costs.
class CountingEngine : public db::Engine {
public:
    CountingEngine(std::unique_ptr<db::Engine> inner, long& counter)
        : m_inner(std::move(inner)), m_counter(counter) {}

    void open(const QString& cs, const QString& user, const QString& password) override {
        m_inner->open(cs, user, password);
    }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }
    db::ExecutionResult execute(const QString& text, const std::vector<Variant>& parameters,
                                int timeoutSeconds) override {
        ++m_counter;
        return m_inner->execute(text, parameters, timeoutSeconds);
    }
    void beginTransaction() override { m_inner->beginTransaction(); }
    void commitTransaction() override { m_inner->commitTransaction(); }
    void rollbackTransaction() override { m_inner->rollbackTransaction(); }
    int transactionDepth() const override { return m_inner->transactionDepth(); }
    QString currentDatabase() const override { return m_inner->currentDatabase(); }
    void useDatabase(const QString& name) override { m_inner->useDatabase(name); }
    void setIsolationLevel(int level) override { m_inner->setIsolationLevel(level); }
    db::ResultSet openSchema(int schema, const std::vector<Variant>& restrictions) override {
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

private:
    std::unique_ptr<db::Engine> m_inner;
    long& m_counter;
};

} // namespace estaciones::bench
