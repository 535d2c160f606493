#pragma once

#include "CorpusCase.h"

#include <gtest/gtest.h>

#include <string>

namespace estaciones::test::corpus {

// Runs one corpus case on a fresh copy of DEMO. Each group of the corpus
// instantiates it with its own table of cases.
class StatementCorpus : public ::testing::TestWithParam<CorpusCase> {};

inline std::string corpusCaseName(const ::testing::TestParamInfo<CorpusCase>& info) {
    return info.param.name;
}

} // namespace estaciones::test::corpus
