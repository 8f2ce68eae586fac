// What a test reads from a PDF file that Qt's printing wrote: its pages' sizes and the sizes of the
// images it holds (Qt writes the dictionaries of pages and images as plain text).
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace testing_support {

struct PdfFacts {
    bool isPdf = false;
    std::vector<std::pair<double, double>> pages;  // each page's media box: width, height (points)
    std::vector<std::pair<int, int>> images;       // each image's width and height (pixels)
};

inline PdfFacts PdfFactsOf(const std::string& bytes) {
    PdfFacts f;
    f.isPdf = bytes.rfind("%PDF-", 0) == 0;
    static const std::regex box(
        R"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\])");
    for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), box);
         it != std::sregex_iterator(); ++it) {
        f.pages.emplace_back(std::stod((*it)[3]) - std::stod((*it)[1]),
                             std::stod((*it)[4]) - std::stod((*it)[2]));
    }
    static const std::regex image(R"(/Subtype\s*/Image\s*/Width\s+(\d+)\s*/Height\s+(\d+))");
    for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), image);
         it != std::sregex_iterator(); ++it) {
        f.images.emplace_back(std::stoi((*it)[1]), std::stoi((*it)[2]));
    }
    return f;
}

}  // namespace testing_support
