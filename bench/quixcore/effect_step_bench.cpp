// The cost of one step of an effect at 640 x 480 onto a form's surface, for a sample of the
// catalogue (revealing, random, circular, moving and double-pass effects), with the wand on and
// the effect clock taking no time. Each run reports its steps and the ratio of one step's cost
// (the run's time, its set-up included, over its steps) to the delay between steps (10 ms; the
// counter prints it with the unit "s"): below 1 the steps keep their pace.
//
//   build/bench/quixcore/effect_step_bench
#include <benchmark/benchmark.h>

#include <QImage>
#include <atomic>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "quixcore/quixcore.h"

namespace {

constexpr int W = 640, H = 480;
constexpr int kDelayMs = 10;

void EffectStep(benchmark::State& state) {
    const short effect = static_cast<short>(state.range(0));
    HWND form = reinterpret_cast<HWND>(std::uintptr_t{0x7C100000});
    HWND control = reinterpret_cast<HWND>(std::uintptr_t{0x7C100004});
    platform::gdi::CreateWindowSurface(form, W, H);
    platform::gdi::PlaceWindow(control, form, RECT{0, 0, W, H}, true);
    QImage image(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) image.setPixel(x, y, qRgb(x & 255, y & 255, 128));
    }
    HBITMAP picture = platform::gdi::BitmapFromImage(image);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, picture);
    std::atomic<long> pauses{0};
    SetQuixEffectClock([&](int) { ++pauses; });
    long steps = 0;
    for (auto _ : state) {
        HDC output = GetDC(control);
        const long before = pauses.load();
        BOOL canceled = FALSE;
        BltEffect(output, 0, 0, source, 0, 0, W, H, 16, effect, kDelayMs, SRCCOPY, nullptr, 0, TRUE,
                  RGB(255, 255, 0), 2, "", 0, &canceled);
        steps += pauses.load() - before + 1;
        ReleaseDC(control, output);
    }
    SetQuixEffectClock(nullptr);
    // Time per step over the delay: the rate of (steps x delay in seconds), inverted.
    state.counters["steps"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
    state.counters["ratio"] =
        benchmark::Counter(static_cast<double>(steps) * kDelayMs / 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(picture);
    platform::gdi::ForgetWindow(control);
    platform::gdi::DestroyWindowSurface(form);
}

}  // namespace

// Left to right, explode, random block, sparkle, clock, zoom out, rotate, roll, checkerboard,
// double-pass implode.
BENCHMARK(EffectStep)
    ->Arg(1)
    ->Arg(22)
    ->Arg(39)
    ->Arg(64)
    ->Arg(68)
    ->Arg(24)
    ->Arg(83)
    ->Arg(98)
    ->Arg(40)
    ->Arg(110)
    ->Unit(benchmark::kMillisecond);
