#include "platform/vb/Timer.h"

#include <QTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/vb/Error.h"
#include "platform/vb/Form.h"

namespace vb {

namespace {

struct ManualClock {
    bool manual = false;
    long long now = 0;
    std::vector<Timer*> timers;  // live timers that run on the manual clock
};

ManualClock& clock() {
    static ManualClock c;
    return c;
}

void Forget(Timer* t) {
    auto& v = clock().timers;
    v.erase(std::remove(v.begin(), v.end(), t), v.end());
}

}  // namespace

namespace TimerClock {

void UseManual(bool manual) {
    clock().manual = manual;
    clock().now = 0;
}
bool IsManual() {
    return clock().manual;
}
long long Now() {
    return clock().now;
}

void Advance(long ms) {
    ManualClock& c = clock();
    long long target = c.now + ms;
    for (;;) {
        Timer* next = nullptr;
        for (Timer* t : c.timers) {
            if (t->Running() && t->Interval() > 0 && t->due <= target &&
                (!next || t->due < next->due)) {
                next = t;
            }
        }
        if (!next) break;
        c.now = next->due;
        next->due += next->Interval();
        next->Fire();  // may create, change or destroy timers
    }
    c.now = target;
}

}  // namespace TimerClock

Timer::Timer(Form* form, const char* name, long interval, bool enabled)
    : form_(form), name_(name), interval_(interval), enabled_(enabled) {
    if (form_) form_->AddTimer(this);
    if (!clock().manual) {
        qtimer_ = std::make_unique<QTimer>();
        QObject::connect(qtimer_.get(), &QTimer::timeout, [this] { Fire(); });
    } else {
        clock().timers.push_back(this);
    }
    Restart();
}

Timer::~Timer() {
    if (form_) form_->RemoveTimer(this);
    Forget(this);
}

void Timer::Halt() {
    halted_ = true;
    Restart();
}

void Timer::SetInterval(long ms) {
    if (ms < 0 || ms > 65535) Raise(vbErrInvalidPropertyValue);
    interval_ = ms;
    Restart();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Restart();
}

void Timer::Restart() {
    if (qtimer_) {
        qtimer_->stop();
        if (Running() && interval_ > 0) qtimer_->start(static_cast<int>(interval_));
    } else {
        due = clock().now + interval_;
    }
}

void Timer::Fire() {
    if (halted_ || !OnTimer) return;
    std::string what = (form_ ? form_->Name() + "." : std::string()) + name_ + "_Timer";
    Dispatch(what.c_str(), OnTimer);
}

}  // namespace vb
