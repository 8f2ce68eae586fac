// The effect engine of the drawing library (internal to it): how an effect puts an image onto a
// context step by step.
//
// An effect is a sequence of frames over the area it covers. Frame k of n (k = 1 .. n) is made
// from two images of the area: `before` (what the context showed when the effect began) and
// `after` (what the context shows once the effect is done: the transition's fill, the composed
// image, or the source through the raster operation, worked out once on a copy of the area). Each
// pixel of a frame comes from one of the two, at its own place (effects that reveal) or moved or
// scaled (slides, pushes, zooms, rotations, stretches, rolls); the last frame is `after` itself,
// so every effect ends with exactly the image a plain copy gives. Frames are written whole, so a
// raster operation is applied once to each pixel, whatever the effect.
#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "quixcore/quixcore.h"

namespace quixcore::internal {

// One frame: the pixels and, for each, whether it shows the new image (the wand is drawn on the
// old pixels beside the new ones).
struct FrameBuffer {
    QImage pixels;                    // Format_RGB32, the area's size
    std::vector<std::uint8_t> shows;  // 1 where the pixel comes from `after`
};

class EffectPlan {
public:
    virtual ~EffectPlan() = default;
    // The effect's course in its own unit (pixels of travel, lines, blocks); a step covers grain
    // of them.
    virtual int Length() const = 0;
    // Frame at progress t (0 < t < 1).
    virtual void Render(double t, const QImage& before, const QImage& after,
                        FrameBuffer& frame) const = 0;
};

// The plan of an effect number over a width x height area; none for the effects that put the
// image at once (0, 51 and numbers outside the catalogue).
std::unique_ptr<EffectPlan> MakeEffectPlan(short effect, int width, int height);
// The catalogue's name of an effect number (the control's list names it "<number> - <words>");
// null outside the catalogue.
const char* EffectName(short effect);

// How the effect is paced and stopped.
struct Pace {
    short grain = 1;
    short effect = 0;
    short delay = 0;
    short multitask = 0;
    BOOL wand = FALSE;
    COLORREF wandColor = 0;
    short wandWidth = 0;
    short cancelMode = 0;
    BOOL* canceled = nullptr;
    // The worker's words (null on the user-interface thread's calls).
    BOOL* cancel = nullptr;
    void* thread = nullptr;
    BOOL* cued = nullptr;
    BOOL* multiEffect = nullptr;
    BOOL* effectIncrement = nullptr;
};

// Puts the final image onto the area of the context (logical coordinates) through the effect:
// drawFinal(mem) draws it into a memory context that shows the area with the context's
// coordinates, colours and brush (or, for the effects that put it at once, into the context
// itself). Returns QUIX_OK, or the failure's code; a worker's call that the cancel flag stops
// returns QUIX_OK with the frame it had reached left on the context.
short Animate(HDC hdc, QRect area, const Pace& pace, const std::function<short(HDC)>& drawFinal);

// The user's cancel keys and buttons (the cancel-mode catalogue of quixcore.h), as seen by the
// application's event filter since the watch began.
class CancelWatch {
public:
    explicit CancelWatch(short cancelMode);
    // True once an input of the cancel mode has come since the watch began.
    bool Triggered() const;

private:
    short mode_;
    std::uint64_t start_[7];
};

}  // namespace quixcore::internal
