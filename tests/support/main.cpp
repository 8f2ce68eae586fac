// The test programs' entry point. Every test process gets its own registry store and program folder
// in a temporary folder, so no test reads or writes the user's real settings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/support/test_support.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing_support::TempDir sandbox;
    ::setenv("KESTO_REGISTRY", (sandbox / "registry.reg").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (sandbox / "config").c_str(), 1);
    return RUN_ALL_TESTS();
}
