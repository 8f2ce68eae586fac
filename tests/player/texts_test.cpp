#include <gtest/gtest.h>

#include "player/Form5.h"
#include "player/Module3.h"

TEST(DurationText, RoundsToWholeSecondsWithUnpaddedMinutes) {
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {{0, "0:00"},    {65, "1:05"},      {3725, "62:05"}, {239.6, "4:00"},
                 {59.5, "1:00"}, {60.5, "1:00"},    {61.5, "1:02"},  {187, "3:07"},
                 {59.4, "0:59"}, {32820, "547:00"}, {0.5, "0:00"},   {1.5, "0:02"}};
    for (const auto& c : cases) EXPECT_EQ(DurationText(c.seconds), c.text) << c.seconds;
}

TEST(ElapsedText, PadsMinutesAndSecondsToTwoDigits) {
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {{0, "00:00"},  {59.6, "01:00"}, {125.3, "02:05"}, {6000, "100:00"},
                 {-1, "00:00"}, {29.5, "00:30"}, {119.5, "02:00"}, {3599.4, "59:59"}};
    for (const auto& c : cases) EXPECT_EQ(ElapsedText(c.seconds), c.text) << c.seconds;
}

TEST(FileTypes, DatAndVideoNamesIgnoreCase) {
    struct Case {
        const char* name;
        bool dat, video;
    } cases[] = {{"/v/a.dat", true, true},   {"/v/a.DaT", true, true},   {"/v/a.avi", false, true},
                 {"/v/a.MPG", false, true},  {"/v/a.mpeg", false, true}, {"/v/a.MpEg", false, true},
                 {"/v/a.wmv", false, false}, {"/v/a.mov", false, false}, {"/v/a.mp3", false, false},
                 {"", false, false},         {"dat", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsDatFile(c.name), c.dat) << c.name;
        EXPECT_EQ(IsVideoFile(c.name), c.video) << c.name;
    }
}

TEST(CommandLine, LosesItsQuotesByTheRules) {
    using forms::Form5;
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"\"/My Music/a.mp3\"", "/My Music/a.mp3"},
        {"/My Music/a.mp3", "/My Music/a.mp3"},  // taken whole, spaces included
        {"\"/music/a.mp3", "/music/a.mp3"},      // a leading quote alone
        {"/mu\"sic/a.mp3", "/mu\"sic/a.mp"},     // a stray quote costs the last character
        {"\"/a.mp3\" \"/b.mp3\"", "/a.mp3\" \"/b.mp3"},
        {"", ""},
        {"\"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Form5::NormalizeCommandLine(c.in), c.out) << c.in;
}
