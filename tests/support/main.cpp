// The test programs' entry point. Every test process gets its own registry store and configuration
// folder in a temporary folder, so no test reads or writes the user's real settings. Window tests
// (built with KESTO_TEST_WITH_QT) also get the application object.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/support/test_support.h"

#ifdef KESTO_TEST_WITH_QT
#include <QApplication>
#endif

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing_support::TempDir sandbox;
    ::setenv("KESTO_REGISTRY", (sandbox / "registry.reg").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (sandbox / "config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", sandbox.path().c_str(), 1);
#ifdef KESTO_TEST_OFFSCREEN
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
#endif
#ifdef KESTO_TEST_WITH_QT
    // Listing the tests needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
