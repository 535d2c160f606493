#include "platform/db/FaultInjection.h"

namespace estaciones::db {

void FaultInjector::failNext(std::vector<ProviderError> records, FaultOperation operation,
                             int times) {
    if (records.empty()) {
        records.push_back(ProviderError{});
    }
    m_planned.push_back(Planned{operation, false, std::move(records), times < 1 ? 1 : times});
}

void FaultInjector::failNext(std::int32_t number, const QString& description,
                             const QString& sqlState, std::int32_t nativeError,
                             FaultOperation operation, int times) {
    ProviderError record;
    record.number = number;
    record.description = description;
    record.source = QStringLiteral("Fault injection");
    record.sqlState = sqlState;
    record.nativeError = nativeError;
    failNext(std::vector<ProviderError>{record}, operation, times);
}

void FaultInjector::dropConnection() {
    m_dropped = true;
    m_closeEnginePending = true;
    if (m_dropHandler) {
        m_closeEnginePending = false;
        m_dropHandler();
    }
}

void FaultInjector::dropOnNext(FaultOperation operation) {
    m_planned.push_back(Planned{operation, true, {}, 1});
}

void FaultInjector::dropAfterNext(FaultOperation operation) {
    m_planned.push_back(Planned{operation, true, {}, 1, true});
}

void FaultInjector::clear() {
    m_planned.clear();
}

std::vector<ProviderError> FaultInjector::linkFailureRecords() {
    ProviderError record;
    record.number = errnum::E_FAIL;
    record.description = QStringLiteral("Communication link failure");
    record.source = QStringLiteral("Microsoft OLE DB Provider for SQL Server");
    record.sqlState = QStringLiteral("08S01");
    record.nativeError = 10054;
    record.severity = 20;
    return {record};
}

void FaultInjector::beforeOperation(FaultOperation operation, Engine* engine) {
    if (!m_dropped) {
        for (auto it = m_planned.begin(); it != m_planned.end(); ++it) {
            if (it->operation != FaultOperation::Any && it->operation != operation) {
                continue;
            }
            if (it->drop && it->afterwards) {
                m_planned.erase(it);
                m_dropAfterPending = true;
                return;
            }
            if (it->drop) {
                m_planned.erase(it);
                m_dropped = true;
                m_closeEnginePending = true;
                break;
            }
            std::vector<ProviderError> records = it->records;
            if (--it->remaining <= 0) {
                m_planned.erase(it);
            }
            throw ProviderFailure(std::move(records));
        }
    }
    if (m_dropped) {
        if (m_closeEnginePending && engine != nullptr) {
            // The server ends the session: its open transaction is rolled back.
            m_closeEnginePending = false;
            try {
                engine->close();
            } catch (...) {
            }
        }
        throw ProviderFailure(linkFailureRecords());
    }
}

void FaultInjector::afterOperation(Engine* engine) {
    if (!m_dropAfterPending) {
        return;
    }
    m_dropAfterPending = false;
    m_dropped = true;
    m_closeEnginePending = true;
    beforeOperation(FaultOperation::Any, engine);
}

} // namespace estaciones::db
