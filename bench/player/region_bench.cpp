// The window region of a full-screen skin face: the player's region against the reference that
// reads one pixel and unites one rectangle at a time.
//
//   build/bench/player/region_bench
#include <benchmark/benchmark.h>

#include <QPainter>

#include "platform/gdi/gdi.h"
#include "platform/vb/Form.h"
#include "player/Module1.h"
#include "tests/player/RegionReference.h"

namespace {

class FaceForm : public vb::Form {
public:
    vb::PictureBox Pic{this, "Pic"};
    FaceForm() : vb::Form("FaceForm", "") {
        QImage face(1920, 1080, QImage::Format_RGB32);
        face.fill(QColor(255, 0, 255));
        QPainter p(&face);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 60, 90));
        p.drawEllipse(QRect(40, 40, 1840, 1000));
        p.setBrush(QColor(255, 0, 255));
        for (int i = 0; i < 12; ++i) p.drawEllipse(QRect(200 + i * 130, 480, 60, 120));
        Pic.SetBorderStyle(0);
        Pic.SetScaleMode(vb::vbPixels);
        Pic.SetAutoSize(true);
        Pic.SetPicture(vb::Picture::FromImage(face));
    }
};

FaceForm& face() {
    static FaceForm f;
    return f;
}

void BM_Region(benchmark::State& state) {
    FaceForm& f = face();
    for (auto _ : state) {
        long r = MakeRegionFromBitmap(f.Pic);
        benchmark::DoNotOptimize(r);
        DeleteObject(reinterpret_cast<HRGN>(static_cast<std::uintptr_t>(r)));
    }
}
BENCHMARK(BM_Region)->Unit(benchmark::kMillisecond);

void BM_RegionStepByStep(benchmark::State& state) {
    FaceForm& f = face();
    for (auto _ : state) {
        HRGN r = RegionStepByStep(f.Pic);
        benchmark::DoNotOptimize(r);
        DeleteObject(r);
    }
}
BENCHMARK(BM_RegionStepByStep)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
