// The effect catalogue: every effect number animates, no two effects show the same frames, each
// ends with exactly the final image, and the pacing words (grain, delay, wand, cancel flag,
// gate, increments, cueing) act between steps.
#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/base/thread.h"
#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"

namespace {

constexpr int kW = 40, kH = 24;

// Two pictures whose every pixel is its own colour, so a moved pixel shows as a change.
void Paint(MemCanvas& canvas, int seed) {
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            SetPixelV(canvas.dc(), x, y,
                      seed ? RGB(x * 6, y * 10, 200) : RGB(250 - x * 5, 40, y * 9 + 10));
        }
    }
}

// The effect clock of a test: records each pause, and what the screen shows then.
class Clock {
public:
    explicit Clock(HDC screen = nullptr, HBITMAP bitmap = nullptr) : bitmap_(bitmap) {
        SetQuixEffectClock([this](int ms) {
            std::lock_guard lock(mutex_);
            pauses_.push_back(ms);
            if (bitmap_) frames_.push_back(platform::gdi::ImageOf(bitmap_));
            if (onPause_) onPause_(static_cast<int>(pauses_.size()));
        });
    }
    ~Clock() { SetQuixEffectClock(nullptr); }
    void OnPause(std::function<void(int)> f) { onPause_ = std::move(f); }
    std::vector<int> Pauses() {
        std::lock_guard lock(mutex_);
        return pauses_;
    }
    std::vector<QImage> Frames() {
        std::lock_guard lock(mutex_);
        return frames_;
    }

private:
    HBITMAP bitmap_;
    std::mutex mutex_;
    std::vector<int> pauses_;
    std::vector<QImage> frames_;
    std::function<void(int)> onPause_;
};

short Blt(MemCanvas& screen, MemCanvas& image, short effect, short grain = 4, DWORD rop = SRCCOPY,
          BOOL wand = FALSE, short wandWidth = 0, short delay = 0) {
    BOOL canceled = FALSE;
    return BltEffect(screen.dc(), 0, 0, image.dc(), 0, 0, kW, kH, grain, effect, delay, rop,
                     nullptr, 0, wand, RGB(255, 255, 0), wandWidth, "", 0, &canceled);
}

bool IsNoEffect(short effect) {
    return effect == 0 || effect == 51;
}

}  // namespace

TEST(EffectCatalogue, EveryEffectEndsWithExactlyTheSourceAndAnimatesOnTheWay) {
    MemCanvas image(kW, kH);
    Paint(image, 1);
    for (short effect = 0; effect <= 113; ++effect) {
        MemCanvas screen(kW, kH);
        Paint(screen, 0);
        const QImage before = screen.Image();
        Clock clock(screen.dc(), screen.bitmap());
        ASSERT_EQ(Blt(screen, image, effect, 1), QUIX_OK) << effect;
        EXPECT_EQ(screen.Image(), image.Image()) << "effect " << effect;
        const std::vector<QImage> frames = clock.Frames();
        if (IsNoEffect(effect)) {
            EXPECT_TRUE(frames.empty()) << effect;
            continue;
        }
        ASSERT_GE(frames.size(), 2u) << "effect " << effect << " has steps";
        const QImage& middle = frames[frames.size() / 2];
        EXPECT_NE(middle, before) << "effect " << effect << " has begun half way";
        EXPECT_NE(middle, image.Image()) << "effect " << effect << " has not ended half way";
    }
}

TEST(EffectCatalogue, NoTwoEffectNumbersShowTheSameFrames) {
    MemCanvas image(kW, kH);
    Paint(image, 1);
    std::map<std::string, short> seen;
    for (short effect = 1; effect <= 113; ++effect) {
        if (IsNoEffect(effect)) continue;
        MemCanvas screen(kW, kH);
        Paint(screen, 0);
        Clock clock(screen.dc(), screen.bitmap());
        Blt(screen, image, effect, 1);
        const std::vector<QImage> frames = clock.Frames();
        ASSERT_FALSE(frames.empty());
        // The frame a third of the way through, and the one at two thirds.
        const QImage& a = frames[frames.size() / 3];
        const QImage& b = frames[frames.size() * 2 / 3];
        std::string key(reinterpret_cast<const char*>(a.constBits()), a.sizeInBytes());
        key.append(reinterpret_cast<const char*>(b.constBits()), b.sizeInBytes());
        auto [it, fresh] = seen.emplace(key, effect);
        EXPECT_TRUE(fresh) << "effect " << effect << " shows what effect " << it->second << " does";
    }
}

TEST(EffectCatalogue, TheRasterOperationIsAppliedOnceToEachPixel) {
    MemCanvas image(kW, kH);
    Paint(image, 1);
    for (short effect : {1, 22, 39, 64, 9, 24, 83}) {
        MemCanvas plain(kW, kH), animated(kW, kH);
        Paint(plain, 0);
        Paint(animated, 0);
        BitBlt(plain.dc(), 0, 0, kW, kH, image.dc(), 0, 0, SRCINVERT);
        Clock clock;
        ASSERT_EQ(Blt(animated, image, effect, 3, SRCINVERT), QUIX_OK);
        EXPECT_EQ(animated.Image(), plain.Image()) << "effect " << effect;
    }
    // A dissolve pass: the pattern brush of the screen decides where the image goes.
    const WORD checker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, checker);
    HBRUSH brush = CreatePatternBrush(bits);
    MemCanvas plain(kW, kH), animated(kW, kH);
    for (MemCanvas* c : {&plain, &animated}) {
        Paint(*c, 0);
        SelectObject(c->dc(), brush);
        SetBkColor(c->dc(), RGB(255, 255, 255));
        SetBrushOrgEx(c->dc(), 3, 1, nullptr);
    }
    BitBlt(plain.dc(), 0, 0, kW, kH, image.dc(), 0, 0, 0xCA0749);
    Clock clock;
    BOOL canceled = FALSE;
    ASSERT_EQ(BltEffect(animated.dc(), 5, 3, image.dc(), 5, 3, kW - 5, kH - 3, 2, 40, 0, 0xCA0749,
                        nullptr, 0, FALSE, 0, 0, "", 0, &canceled),
              QUIX_OK);
    BitBlt(plain.dc(), 0, 0, 5, kH, animated.dc(), 0, 0, SRCCOPY);  // the strips left out
    BitBlt(plain.dc(), 0, 0, kW, 3, animated.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(animated.Image(), plain.Image());
    for (MemCanvas* c : {&plain, &animated}) SelectObject(c->dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
    DeleteObject(bits);
}

TEST(EffectCatalogue, GrainSetsTheStepsAndDelayThePauseBetweenThem) {
    MemCanvas image(kW, kH, RGB(255, 0, 0));
    MemCanvas screen(kW, kH, RGB(0, 0, 255));
    Clock clock(screen.dc(), screen.bitmap());
    ASSERT_EQ(Blt(screen, image, 1, 5, SRCCOPY, FALSE, 0, 30), QUIX_OK);  // left to right
    EXPECT_EQ(clock.Pauses(), std::vector<int>(7, 30)) << "40 pixels in steps of 5: 8 steps";
    const std::vector<QImage> frames = clock.Frames();
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(InkBox(frames[0], qRgb(0, 0, 255)), QRect(0, 0, 5, kH));
    EXPECT_EQ(InkBox(frames[2], qRgb(0, 0, 255)), QRect(0, 0, 15, kH));
}

TEST(EffectCatalogue, TheWandRunsAlongTheMovingEdgeAndIsGoneAtTheEnd) {
    MemCanvas image(kW, kH, RGB(255, 0, 0));
    MemCanvas screen(kW, kH, RGB(0, 0, 255));
    Clock clock(screen.dc(), screen.bitmap());
    ASSERT_EQ(Blt(screen, image, 1, 10, SRCCOPY, TRUE, 2), QUIX_OK);
    const std::vector<QImage> frames = clock.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].pixel(9, 5), qRgb(255, 0, 0));
    EXPECT_EQ(frames[0].pixel(10, 5), qRgb(255, 255, 0));
    EXPECT_EQ(frames[0].pixel(11, 5), qRgb(255, 255, 0));
    EXPECT_EQ(frames[0].pixel(12, 5), qRgb(0, 0, 255));
    EXPECT_EQ(screen.Image(), image.Image());
}

TEST(EffectCatalogue, TransitionsAnimateTheirFillAndTheComposedImage) {
    Clock clock;
    MemCanvas composed(kW, kH);
    Paint(composed, 1);
    for (short effect : {3, 40, 68, 98}) {
        BOOL canceled = FALSE;
        short error = 0;
        const RECT box{0, 0, kW, kH};
        MemCanvas plain(kW, kH), animated(kW, kH);
        Paint(plain, 0);
        Paint(animated, 0);
        DoTransition(plain.dc(), &box, 4, 0, RGB(1, 2, 3), RGB(200, 100, 0), 3, 0, 0, 0, FALSE, 0,
                     0, "", 0, &canceled, 1, 0, 0, 0, 0, nullptr, &error, TRUE);
        DoTransition(animated.dc(), &box, 4, 0, RGB(1, 2, 3), RGB(200, 100, 0), 3, effect, 0, 0,
                     FALSE, 0, 0, "", 0, &canceled, 1, 0, 0, 0, 0, nullptr, &error, TRUE);
        EXPECT_EQ(animated.Image(), plain.Image()) << "translucent hatch, effect " << effect;

        Paint(plain, 0);
        Paint(animated, 0);
        DoGradientTransition(plain.dc(), &box, 0, 5, 8, RGB(0, 0, 0), RGB(255, 255, 255), 3, 0, 0,
                             0, FALSE, 0, 0, "", 0, &canceled, &error, 0, 0, 0, 0, 0, nullptr,
                             TRUE);
        DoGradientTransition(animated.dc(), &box, 0, 5, 8, RGB(0, 0, 0), RGB(255, 255, 255), 3,
                             effect, 0, 0, FALSE, 0, 0, "", 0, &canceled, &error, 0, 0, 0, 0, 0,
                             nullptr, TRUE);
        EXPECT_EQ(animated.Image(), plain.Image()) << "gradient, effect " << effect;

        Paint(animated, 0);
        const RECT update{4, 4, 20, 16};
        DoCaptureTransition(animated.dc(), &box, 0, composed.bitmap(), 3, effect, 0, 0, FALSE, 0, 0,
                            "", 0, &canceled, &error, 0, 0, 0, 0, 1, &update, TRUE);
        const QImage shown = animated.Image();
        EXPECT_EQ(shown.copy(4, 4, 16, 12), composed.Image().copy(4, 4, 16, 12)) << effect;
        Paint(plain, 0);
        EXPECT_EQ(shown.pixel(3, 3), plain.Image().pixel(3, 3)) << "only the update area";
        EXPECT_EQ(error, 0);
    }
}

TEST(EffectCatalogue, TheWorkersCancelFlagStopsBetweenStepsAndLeavesTheFrame) {
    MemCanvas image(kW, kH, RGB(255, 0, 0));
    MemCanvas screen(kW, kH, RGB(0, 0, 255));
    BOOL canceled = FALSE, cancel = FALSE, cued = FALSE, multi = TRUE, increment = FALSE;
    Clock clock(screen.dc(), screen.bitmap());
    clock.OnPause([&](int n) {
        if (n == 2) std::atomic_ref<BOOL>(cancel).store(TRUE);
    });
    ASSERT_EQ(BltThreadEffect(screen.dc(), 0, 0, image.dc(), 0, 0, kW, kH, 5, 1, 0, SRCCOPY,
                              nullptr, 0, FALSE, 0, 0, "", 0, &canceled, &cancel, nullptr, nullptr,
                              &cued, &multi, &increment),
              QUIX_OK);
    EXPECT_EQ(clock.Pauses().size(), 2u);
    EXPECT_EQ(InkBox(screen.Image(), qRgb(0, 0, 255)), QRect(0, 0, 10, kH)) << "stopped at 2";
    EXPECT_FALSE(canceled) << "an abort is not the user's cancel";

    // MultiEffect turned off ends the effect at once with the final image.
    cancel = FALSE;
    screen.Fill(RGB(0, 0, 255));
    clock.OnPause([&](int n) {
        if (n == 3) std::atomic_ref<BOOL>(multi).store(FALSE);
    });
    BltThreadEffect(screen.dc(), 0, 0, image.dc(), 0, 0, kW, kH, 5, 1, 0, SRCCOPY, nullptr, 0,
                    FALSE, 0, 0, "", 0, &canceled, &cancel, nullptr, nullptr, &cued, &multi,
                    &increment);
    EXPECT_EQ(clock.Pauses().size(), 3u) << "one pause of the second run";
    EXPECT_EQ(screen.Image(), image.Image());
}

// A wipe of a red image over a blue screen on a worker thread of its own.
struct Worker {
    MemCanvas image{kW, kH, RGB(255, 0, 0)};
    MemCanvas screen{kW, kH, RGB(0, 0, 255)};
    BOOL canceled = FALSE, cancel = FALSE, cued = FALSE, multi = TRUE, increment = FALSE;
    std::atomic<platform::base::WorkerThread*> self{nullptr};
    std::unique_ptr<platform::base::WorkerThread> thread;

    void Start(short grain) {
        thread = std::make_unique<platform::base::WorkerThread>(
            [this, grain]() -> DWORD {
                BltThreadEffect(screen.dc(), 0, 0, image.dc(), 0, 0, kW, kH, grain, 1, 0, SRCCOPY,
                                nullptr, 0, FALSE, 0, 0, "", 0, &canceled, &cancel, nullptr,
                                self.load(), &cued, &multi, &increment);
                return 0;
            },
            THREAD_PRIORITY_NORMAL, CREATE_SUSPENDED);
        self.store(thread.get());
        thread->Resume();
    }
};

TEST(EffectCatalogue, AWorkerSuspendedBetweenStepsGoesOnWhenResumed) {
    Worker worker;
    Clock clock;
    clock.OnPause([&](int n) {
        if (n == 3) worker.self.load()->Suspend();  // as a pause from the other thread would
    });
    worker.Start(5);
    auto& thread = worker.thread;
    while (thread->SuspendCount() == 0 && thread->ExitCode() == STILL_ACTIVE)
        std::this_thread::yield();
    EXPECT_EQ(thread->Wait(50), WAIT_TIMEOUT) << "held at the gate";
    EXPECT_EQ(clock.Pauses().size(), 3u);
    EXPECT_EQ(thread->ExitCode(), STILL_ACTIVE);
    thread->Resume();
    EXPECT_EQ(thread->Wait(INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(thread->ExitCode(), 0u);
    EXPECT_EQ(clock.Pauses().size(), 7u);
    EXPECT_EQ(worker.screen.Image(), worker.image.Image());
}

TEST(EffectCatalogue, IncrementsPlayOneStepForEachResume) {
    Worker worker;
    worker.increment = TRUE;
    Clock clock;
    worker.Start(10);
    auto& thread = worker.thread;
    BOOL& cued = worker.cued;
    int resumes = 0;
    while (thread->Wait(0) == WAIT_TIMEOUT) {
        if (thread->SuspendCount() == 1 && std::atomic_ref<BOOL>(cued).load()) {
            EXPECT_EQ(clock.Pauses().size(), static_cast<size_t>(resumes + 1));
            std::atomic_ref<BOOL>(cued).store(FALSE);
            ++resumes;
            thread->Resume();
        }
        std::this_thread::yield();
    }
    EXPECT_EQ(resumes, 3) << "four steps: three holds between them";
    EXPECT_EQ(worker.screen.Image(), worker.image.Image());
}

TEST(EffectCatalogue, ACuedEffectWithoutAThreadWaitsUntilTheCueIsTaken) {
    MemCanvas image(kW, kH, RGB(255, 0, 0));
    MemCanvas screen(kW, kH, RGB(0, 0, 255));
    BOOL canceled = FALSE, cancel = FALSE, cued = TRUE, multi = TRUE, increment = FALSE;
    Clock clock;
    clock.OnPause([&](int n) {
        if (n == 5) std::atomic_ref<BOOL>(cued).store(FALSE);
    });
    BltThreadEffect(screen.dc(), 0, 0, image.dc(), 0, 0, kW, kH, 20, 1, 0, SRCCOPY, nullptr, 0,
                    FALSE, 0, 0, "", 0, &canceled, &cancel, nullptr, nullptr, &cued, &multi,
                    &increment);
    // One pause between the two steps, then the waits of 10 ms until the cue was taken.
    EXPECT_EQ(clock.Pauses(), (std::vector<int>{0, 10, 10, 10, 10}));
    EXPECT_EQ(screen.Image(), image.Image());
}
