// The Timer control and the clock that drives it.
//
// Timers run on Qt's event loop by default. A test switches the process to the manual clock
// (TimerClock::UseManual) before it creates forms; time then stands still until the test calls
// TimerClock::Advance, which fires every due tick in time order.
#pragma once

#include <functional>
#include <memory>

class QTimer;

namespace vb {

class Form;

namespace TimerClock {
void UseManual(bool manual);
bool IsManual();
// Manual clock: moves time on by `ms` milliseconds, firing the due ticks of enabled timers.
void Advance(long ms);
// Milliseconds of the manual clock since it was switched on.
long long Now();
}  // namespace TimerClock

class Timer {
public:
    Timer(Form* form, const char* name, long interval = 0, bool enabled = true);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const char* Name() const { return name_; }
    long Interval() const { return interval_; }
    void SetInterval(long ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The Timer event.
    std::function<void()> OnTimer;

    // Manual clock bookkeeping.
    long long due = 0;
    // Runs the Timer event (an error in it is reported, not thrown on).
    void Fire();
    // Enabled and not stopped by its form's unload.
    bool Running() const { return enabled_ && !halted_; }
    // The form unloads: the timer never fires again.
    void Halt();

private:
    void Restart();

    Form* form_;
    bool halted_ = false;
    const char* name_;
    long interval_;
    bool enabled_;
    std::unique_ptr<QTimer> qtimer_;
};

}  // namespace vb
