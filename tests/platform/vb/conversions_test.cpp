#include <gtest/gtest.h>

#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "tests/support/run_time_errors.h"

using namespace vb;

using testing_support::ErrorOf;

TEST(Conversions, WholeNumbersRoundHalfToEven) {
    struct Case {
        double in;
        long out;
    } cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {-0.5, 0},   {-1.5, -2}, {239.6, 240},
                 {59.5, 60}, {60.5, 60}, {61.5, 62}, {2.4999, 2}, {-2.6, -3}};
    for (const auto& c : cases) {
        EXPECT_EQ(CLng(c.in), c.out) << c.in;
        EXPECT_EQ(CInt(c.in), c.out) << c.in;
    }
}

TEST(Conversions, OutOfRangeIsAnOverflow) {
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(ErrorOf([] { CInt(32767.5); }), vbErrOverflow);  // 32768 after rounding
    EXPECT_EQ(ErrorOf([] { CInt(-32768.6); }), vbErrOverflow);
    EXPECT_EQ(ErrorOf([] { CLng(3e9); }), vbErrOverflow);
    EXPECT_EQ(CLng(-2147483648.0), -2147483647L - 1);
}

TEST(Conversions, TextsMustBeNumbers) {
    EXPECT_FLOAT_EQ(CSng(Variant("  1200 ")), 1200.f);
    EXPECT_FLOAT_EQ(CSng(Variant("-7.5")), -7.5f);
    EXPECT_FLOAT_EQ(CSng(Variant("&H10")), 16.f);
    EXPECT_FLOAT_EQ(CSng(Variant()), 0.f);  // Empty is 0
    for (const char* bad : {"", " ", "12abc", "abc", "1,5"}) {
        EXPECT_EQ(ErrorOf([&] { CSng(Variant(bad)); }), vbErrTypeMismatch) << bad;
    }
    EXPECT_EQ(CInt(Variant("60")), 60);
}

TEST(Conversions, ValTakesTheNumberAtTheStart) {
    struct Case {
        const char* in;
        double out;
    } cases[] = {{"12", 12},      {"12abc", 12}, {"abc", 0},   {"", 0},  {" 1 2 ", 12},
                 {"-3.5x", -3.5}, {"&HFF", 255}, {"1e2", 100}, {"7e", 7}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.in), c.out) << c.in;
}

TEST(Strings, CountCharactersFromOne) {
    EXPECT_EQ(InStr("C:/Music/song.mp3", "."), 14);
    EXPECT_EQ(InStr(15, "a.b.c.d.e.f.g.h", "."), 0);
    EXPECT_EQ(InStr("abc", "x"), 0);
    EXPECT_EQ(InStrRev("/a/b/c", "/"), 5);
    EXPECT_EQ(Mid("hello", 2, 3), "ell");
    EXPECT_EQ(Mid("hello", 4), "lo");
    EXPECT_EQ(Mid("hello", 9), "");
    EXPECT_EQ(ErrorOf([] { Mid("hello", 0); }), vbErrInvalidProcedureCall);
    EXPECT_EQ(Left("h\xc3\xa9llo", 2), "h\xc3\xa9");  // characters, not bytes
    EXPECT_EQ(Len("h\xc3\xa9llo"), 5);
    EXPECT_EQ(Right("song.DAT", 4), ".DAT");
    EXPECT_EQ(UCase("a.dat"), "A.DAT");
    EXPECT_EQ(FormatDigits(5, 2), "05");
    EXPECT_EQ(FormatDigits(100, 2), "100");
}

TEST(ResumeNext, SkipsAFailedStepAndGoesOn) {
    int ran = 0;
    EXPECT_FALSE(ResumeNext([&] {
        Raise(vbErrInvalidPropertyValue);
        ++ran;
    }));
    EXPECT_TRUE(ResumeNext([&] { ++ran; }));
    EXPECT_FALSE(ResumeNext([&] { throw platform::base::Error("another layer's error"); }));
    EXPECT_EQ(ran, 1);
    // A bug is no layer's error: it passes through.
    EXPECT_THROW(ResumeNext([] { throw std::logic_error("a bug"); }), std::logic_error);
}
