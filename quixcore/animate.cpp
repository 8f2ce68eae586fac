// The effect engine: frames, the wand, pacing through the effect clock, the user's cancel and the
// worker's cancel flag, suspension gate, increments and cueing.
#include "quixcore/animate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/base/thread.h"
#include "platform/gdi/qt.h"
#include "quixcore/internal.h"

namespace quixcore::internal {

namespace {

// ---- the effect clock ----

std::mutex g_clockMutex;
std::shared_ptr<const std::function<void(int)>> g_clock;

void Pause(int milliseconds) {
    std::shared_ptr<const std::function<void(int)>> clock;
    {
        std::lock_guard lock(g_clockMutex);
        clock = g_clock;
    }
    if (clock) {
        (*clock)(milliseconds);
    } else if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    } else {
        std::this_thread::yield();
    }
}

// ---- the words the worker shares with the user-interface thread ----

bool Load(BOOL* word) {
    return word && std::atomic_ref<BOOL>(*word).load() != 0;
}
void Store(BOOL* word, BOOL value) {
    if (word) std::atomic_ref<BOOL>(*word).store(value);
}

// ---- the user's input, for the cancel modes ----

enum Input { kEsc, kEnter, kSpace, kAnyKey, kLeft, kRight, kMove, kInputs };
std::atomic<std::uint64_t> g_inputs[kInputs];

class InputFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress: {
                auto* key = static_cast<QKeyEvent*>(event);
                if (key->isAutoRepeat()) break;
                if (key->key() == Qt::Key_Escape) ++g_inputs[kEsc];
                if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) ++g_inputs[kEnter];
                if (key->key() == Qt::Key_Space) ++g_inputs[kSpace];
                ++g_inputs[kAnyKey];
                break;
            }
            case QEvent::MouseButtonPress: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() == Qt::LeftButton) ++g_inputs[kLeft];
                if (mouse->button() == Qt::RightButton) ++g_inputs[kRight];
                break;
            }
            case QEvent::MouseMove:
            case QEvent::HoverMove:
                ++g_inputs[kMove];
                break;
            default:
                break;
        }
        return false;
    }
};

// The filter is installed once, on the application's thread.
void WatchInput() {
    static std::atomic<bool> installed{false};
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || installed.exchange(true)) return;
    auto install = [app] { app->installEventFilter(new InputFilter(app)); };
    if (QThread::currentThread() == app->thread()) {
        install();
    } else {
        QMetaObject::invokeMethod(app, install, Qt::QueuedConnection);
    }
}

// Which inputs cancel in each mode (0: none).
constexpr unsigned kModeInputs[] = {
    0,
    1u << kEsc,
    1u << kEnter,
    1u << kSpace,
    1u << kAnyKey,
    1u << kLeft,
    1u << kRight,
    1u << kMove,
    1u << kAnyKey | 1u << kLeft | 1u << kRight,
    1u << kAnyKey | 1u << kMove,
};

unsigned InputsOf(short mode) {
    return mode >= 0 && mode < static_cast<short>(std::size(kModeInputs)) ? kModeInputs[mode] : 0;
}

bool OnApplicationThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// ---- frames ----

// The new pixels' neighbours within `width` pixels (a square around each new pixel) that still
// show the old image take the wand's colour.
void AddWand(FrameBuffer& frame, int width, QRgb colour) {
    const int w = frame.pixels.width(), h = frame.pixels.height();
    std::vector<std::uint8_t> near(static_cast<std::size_t>(w) * h, 0);
    std::vector<int> sum(std::max(w, h) + 1);
    for (int y = 0; y < h; ++y) {  // across
        const std::uint8_t* shows = &frame.shows[static_cast<std::size_t>(y) * w];
        sum[0] = 0;
        for (int x = 0; x < w; ++x) sum[x + 1] = sum[x] + shows[x];
        for (int x = 0; x < w; ++x) {
            int a = std::max(0, x - width), b = std::min(w, x + width + 1);
            near[static_cast<std::size_t>(y) * w + x] = sum[b] - sum[a] > 0;
        }
    }
    std::vector<std::uint8_t> column(h);
    for (int x = 0; x < w; ++x) {  // down
        sum[0] = 0;
        for (int y = 0; y < h; ++y) sum[y + 1] = sum[y] + near[static_cast<std::size_t>(y) * w + x];
        for (int y = 0; y < h; ++y) {
            int a = std::max(0, y - width), b = std::min(h, y + width + 1);
            column[y] = sum[b] - sum[a] > 0;
        }
        for (int y = 0; y < h; ++y) {
            if (column[y] && !frame.shows[static_cast<std::size_t>(y) * w + x]) {
                reinterpret_cast<QRgb*>(frame.pixels.scanLine(y))[x] = colour;
            }
        }
    }
}

// Writes the image over the area of the context (through its clipping).
bool WriteFrame(HDC hdc, const QRect& area, const QImage& image) {
    const QRect device = DeviceRect(hdc, area);
    return platform::gdi::WithPixels(hdc, [&](platform::gdi::PixelAccess& a) {
        ForWritable(a, device, [&](int y, int x0, int x1, QRgb* line) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y - device.y()));
            for (int x = x0; x < x1; ++x) line[x] = ForTarget(a, row[x - device.x()] | 0xFF000000u);
        });
    });
}

// The final image of the area: the area's pixels as the context shows them, then drawFinal's
// drawing on a memory copy that has the context's coordinates, colours, modes and brush.
bool FinalImage(HDC hdc, const QRect& area, const std::function<short(HDC)>& drawFinal,
                QImage& before, QImage& after, short& result) {
    HBITMAP bitmap = CreateCompatibleBitmap(hdc, area.width(), area.height());
    if (!bitmap) return false;
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, area.width(), area.height(), hdc, area.x(), area.y(), SRCCOPY);
    before = platform::gdi::ImageOf(bitmap);
    const QRect device = DeviceRect(hdc, area);
    SetWindowOrgEx(mem, area.x(), area.y(), nullptr);
    POINT org{0, 0};
    GetBrushOrgEx(hdc, &org);
    SetBrushOrgEx(mem, org.x - device.x(), org.y - device.y(), nullptr);
    SetBkColor(mem, GetBkColor(hdc));
    SetTextColor(mem, GetTextColor(hdc));
    SetBkMode(mem, GetBkMode(hdc));
    SetROP2(mem, GetROP2(hdc));
    HGDIOBJ oldBrush = SelectObject(mem, GetCurrentObject(hdc, OBJ_BRUSH));
    result = drawFinal(mem);
    SelectObject(mem, oldBrush);
    SelectObject(mem, oldBitmap);
    DeleteDC(mem);
    after = platform::gdi::ImageOf(bitmap);
    DeleteObject(bitmap);
    if (before.format() != QImage::Format_RGB32)
        before = before.convertToFormat(QImage::Format_RGB32);
    if (after.format() != QImage::Format_RGB32) after = after.convertToFormat(QImage::Format_RGB32);
    return !before.isNull() && !after.isNull();
}

}  // namespace

CancelWatch::CancelWatch(short cancelMode) : mode_(cancelMode) {
    if (InputsOf(mode_)) WatchInput();
    for (int i = 0; i < kInputs; ++i) start_[i] = g_inputs[i].load();
}

bool CancelWatch::Triggered() const {
    const unsigned inputs = InputsOf(mode_);
    for (int i = 0; i < kInputs; ++i) {
        if ((inputs & (1u << i)) && g_inputs[i].load() != start_[i]) return true;
    }
    return false;
}

short Animate(HDC hdc, QRect area, const Pace& pace, const std::function<short(HDC)>& drawFinal) {
    std::unique_ptr<EffectPlan> plan =
        area.isEmpty() ? nullptr : MakeEffectPlan(pace.effect, area.width(), area.height());
    if (!plan) return drawFinal(hdc);
    CancelWatch watch(pace.cancelMode);
    QImage before, after;
    short result = QUIX_OK;
    if (!FinalImage(hdc, area, drawFinal, before, after, result)) return QUIX_E_DRAW;
    if (result != QUIX_OK) return result;

    const int grain = std::max<int>(1, pace.grain);
    const int steps = std::max(1, (plan->Length() + grain - 1) / grain);
    const bool pump = (pace.multitask || InputsOf(pace.cancelMode)) && OnApplicationThread();
    auto* thread = static_cast<platform::base::WorkerThread*>(pace.thread);
    FrameBuffer frame{
        QImage(area.size(), QImage::Format_RGB32),
        std::vector<std::uint8_t>(static_cast<std::size_t>(area.width()) * area.height())};
    if (frame.pixels.isNull()) return QUIX_E_DRAW;
    const QRgb wandColour = Rgb(pace.wandColor);
    for (int k = 1; k < steps; ++k) {
        plan->Render(static_cast<double>(k) / steps, before, after, frame);
        if (pace.wand && pace.wandWidth > 0) AddWand(frame, pace.wandWidth, wandColour);
        if (!WriteFrame(hdc, area, frame.pixels)) return QUIX_E_DRAW;

        // Between two steps.
        if (pump) QCoreApplication::processEvents();
        Pause(std::max<short>(0, pace.delay));
        if (watch.Triggered()) {
            Store(pace.canceled, TRUE);
            break;
        }
        if (Load(pace.cancel)) return QUIX_OK;
        if (thread && Load(pace.effectIncrement)) {
            // The hold is raised before the cued flag shows it: a resume that follows the flag
            // always finds the hold to lift, however soon it comes.
            thread->Suspend();
            Store(pace.cued, TRUE);
        }
        if (thread) thread->Gate();
        while (!thread && Load(pace.cued) && !Load(pace.cancel)) Pause(10);
        if (Load(pace.cancel)) return QUIX_OK;
        if (pace.multiEffect && !Load(pace.multiEffect)) break;
    }
    return WriteFrame(hdc, area, after) ? QUIX_OK : QUIX_E_DRAW;
}

}  // namespace quixcore::internal

void SetQuixEffectClock(std::function<void(int milliseconds)> pause) {
    using namespace quixcore::internal;
    std::lock_guard lock(g_clockMutex);
    g_clock = pause ? std::make_shared<const std::function<void(int)>>(std::move(pause)) : nullptr;
}
