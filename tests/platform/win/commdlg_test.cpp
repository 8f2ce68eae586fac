// The open-file dialog as the pages use it: the chosen file's path, name and offsets, a buffer too
// small for the path, and headless runs.
#include "platform/win/commdlg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/ole/dialog.h"
#include "tests/support/test_support.h"

namespace {

struct Request {
    char filter[32] = "Hotspots\0*.HSP\0";
    char file[256] = "";
    char title[256] = "";
    OPENFILENAMEA ofn{};
    explicit Request(DWORD size = 256) {
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = filter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = size;
        ofn.lpstrFileTitle = title;
        ofn.nMaxFileTitle = sizeof title;
        ofn.lpstrTitle = "Pick";
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    }
};

}  // namespace

TEST(OpenFileName, GivesTheChosenFilesPathNameAndOffsets) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "spots.hsp", "x");
    Request r;
    platform::ole::DialogAnswers answers;
    answers.files = {dir / "spots.hsp"};
    BOOL chosen = FALSE;
    answers.Run([&] { chosen = GetOpenFileNameA(&r.ofn); });
    ASSERT_TRUE(chosen);
    std::string path = dir / "spots.hsp";
    EXPECT_EQ(std::string(r.file), path);
    EXPECT_STREQ(r.title, "spots.hsp");
    EXPECT_EQ(r.ofn.nFileOffset, path.size() - 9);
    EXPECT_EQ(r.ofn.nFileExtension, path.size() - 3);
    EXPECT_EQ(CommDlgExtendedError(), 0u);

    Request small(static_cast<DWORD>(path.size()));  // no room for the zero
    answers.files = {path};
    answers.Run([&] { chosen = GetOpenFileNameA(&small.ofn); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_STREQ(small.file, "");

    Request cancelled;
    answers.files = {""};
    answers.Run([&] { chosen = GetOpenFileNameA(&cancelled.ofn); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST(OpenFileName, AnswersCancelInHeadlessRuns) {
    testing_support::ScopedEnv mode("KESTO_DIALOGS", "log");
    Request r;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(GetOpenFileNameA(&r.ofn));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "OpenFileName: Pick\n");
}

TEST(OpenFileName, PatternsMatchWithoutRegardToCase) {
    EXPECT_EQ(platform::win::CaseInsensitiveFilePatterns("*.hsp; *.Bmp;"),
              "*.[hH][sS][pP] *.[bB][mM][pP]");
    EXPECT_EQ(platform::win::CaseInsensitiveFilePatterns(" ; "), "*");
}
