// Comparing drawn images with reference pictures kept in the repository (tests/fixtures/...).
//
// A mismatch fails with the number of differing pixels and writes the drawn image (and a picture of
// the differences, red where they differ) to <build>/test-output/<name>.actual.png and .diff.png.
// References are made only on purpose: with KESTO_UPDATE_REFERENCES=1 in the environment the drawn
// image is written as the reference, the test says so on stderr and passes. A missing reference
// fails like a mismatch.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <string>

namespace testing_support {

struct Tolerance {
    int channel = 0;        // a pixel differs when a colour channel is further apart than this
    double fraction = 0.0;  // the share of the pixels that may differ
};

// name: the picture's path under tests/fixtures without ".png", for example "quixcore/gradient-0".
::testing::AssertionResult MatchesReference(const QImage& actual, const std::string& name,
                                            Tolerance tolerance = {});

}  // namespace testing_support
