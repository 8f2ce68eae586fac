#include "tests/support/reference_image.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "tests/support/test_support.h"

namespace testing_support {

namespace {

std::filesystem::path ReferencePath(const std::string& name) {
    return std::filesystem::path(SourceDir()) / "tests" / "fixtures" / (name + ".png");
}

std::filesystem::path OutputPath(const std::string& name, const char* suffix) {
    return std::filesystem::path(KESTO_BINARY_DIR) / "test-output" / (name + suffix);
}

bool Save(const QImage& image, const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    return image.save(QString::fromStdString(path.string()), "PNG");
}

bool Updating() {
    const char* v = std::getenv("KESTO_UPDATE_REFERENCES");
    return v && *v && std::string(v) != "0";
}

}  // namespace

::testing::AssertionResult MatchesReference(const QImage& actualIn, const std::string& name,
                                            Tolerance tolerance) {
    if (actualIn.isNull()) return ::testing::AssertionFailure() << "no image drawn for " << name;
    QImage actual = actualIn.convertToFormat(QImage::Format_RGB32);
    const auto reference = ReferencePath(name);
    if (Updating()) {
        if (!Save(actual, reference)) {
            return ::testing::AssertionFailure() << "cannot write the reference " << reference;
        }
        std::cerr << "reference written: " << reference.string() << "\n";
        return ::testing::AssertionSuccess();
    }
    QImage expected(QString::fromStdString(reference.string()));
    auto fail = [&](const std::string& why) {
        const auto out = OutputPath(name, ".actual.png");
        Save(actual, out);
        return ::testing::AssertionFailure()
               << why << "; drawn image: " << out.string()
               << " (KESTO_UPDATE_REFERENCES=1 makes it the reference)";
    };
    if (expected.isNull()) return fail("no reference " + reference.string());
    expected = expected.convertToFormat(QImage::Format_RGB32);
    if (expected.size() != actual.size()) {
        std::ostringstream s;
        s << "size " << actual.width() << "x" << actual.height() << " instead of "
          << expected.width() << "x" << expected.height();
        return fail(s.str());
    }
    QImage diff(actual.size(), QImage::Format_RGB32);
    long long differing = 0;
    int worst = 0;
    for (int y = 0; y < actual.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(diff.scanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            int delta =
                std::max({std::abs(qRed(a[x]) - qRed(e[x])), std::abs(qGreen(a[x]) - qGreen(e[x])),
                          std::abs(qBlue(a[x]) - qBlue(e[x]))});
            worst = std::max(worst, delta);
            bool differs = delta > tolerance.channel;
            differing += differs;
            int grey = qGray(e[x]) / 2 + 64;
            d[x] = differs ? qRgb(255, 0, 0) : qRgb(grey, grey, grey);
        }
    }
    const long long pixels = static_cast<long long>(actual.width()) * actual.height();
    if (differing > static_cast<long long>(tolerance.fraction * pixels)) {
        Save(diff, OutputPath(name, ".diff.png"));
        std::ostringstream s;
        s << differing << " of " << pixels << " pixels differ from " << reference.string()
          << " (largest channel difference " << worst << ")";
        return fail(s.str());
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
