#pragma once

#include "CaseFile.h"

#include "platform/db/Engine.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace estaciones::conformance {

// What a case's batches gave, in the case file's form.
struct Outcome {
    std::vector<QStringList> resultSets;
    QStringList messages;
    std::vector<db::ProviderError> errors;
};

// Runs the cases of one file in order on one session of the embedded engine,
// over a new database in a scratch data folder that goes away with it.
class CaseRunner {
public:
    CaseRunner();
    ~CaseRunner();

    struct Verdict {
        QString difference; // empty when the answer is the expected one
        QString summary;    // one line: what the engine answered instead
    };
    Verdict run(const Case& c);

private:
    Outcome execute(const Case& c);

    struct Scratch;
    std::unique_ptr<Scratch> m_scratch;
    std::unique_ptr<db::Engine> m_engine;
};

} // namespace estaciones::conformance
