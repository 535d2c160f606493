#pragma once

#include <gtest/gtest.h>

namespace estaciones::test {

// Installed by every test program's main(): each test gets a temporary
// folder of its own as TEMP (where the session's error log and the script
// runner's logs go, os::temporaryFolder), removed when the test ends, so no
// test writes its logs into a shared folder. (Whether the suite left the
// build folder as it was is checked once, by scripts/probar.sh: test
// programs run side by side there.)
class CarpetasPorPrueba : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo& prueba) override;
    void OnTestEnd(const ::testing::TestInfo& prueba) override;
};

} // namespace estaciones::test
