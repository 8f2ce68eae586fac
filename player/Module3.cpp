#include "player/Module3.h"

#include <cmath>

#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "player/Form2.h"
#include "player/FrmVideo.h"
#include "player/frmMain1.h"

std::string DurationText(double seconds) {
    long long d = static_cast<long long>(vb::RoundHalfEven(seconds));
    long long m = d / 60;
    long long r = d - 60 * m;
    return std::to_string(m) + ":" + vb::FormatDigits(static_cast<long>(r), 2);
}

std::string ElapsedText(double seconds) {
    long long whole = static_cast<long long>(vb::RoundHalfEven(seconds));
    long long m = whole / 60;  // the fraction dropped, towards zero
    long long s =
        static_cast<long long>(vb::RoundHalfEven(seconds - 60.0 * static_cast<double>(m)));
    if (s == -1) s = 0;
    return vb::FormatDigits(static_cast<long>(m), 2) + ":" +
           vb::FormatDigits(static_cast<long>(s), 2);
}

bool IsDatFile(const std::string& fileName) {
    return vb::UCase(vb::Right(fileName, 4)) == ".DAT";
}

bool IsVideoFile(const std::string& fileName) {
    std::string last4 = vb::UCase(vb::Right(fileName, 4));
    return last4 == ".AVI" || last4 == ".MPG" || last4 == ".DAT" ||
           vb::UCase(vb::Right(fileName, 5)) == ".MPEG";
}

bool StepTrack(int step) {
    auto& list1 = ::Form2->List1;
    if (list1.ListCount() < 2) return false;
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { list1.SetListIndex(list1.ListIndex() + step); });
    vb::ResumeNext([&] { ::frmMain1->Label24.SetCaption(list1.Text()); });
    vb::ResumeNext([&] { player.SetFileName(::Form2->List2.Text()); });
    vb::ResumeNext([&] { player.Play(); });
    return true;
}
