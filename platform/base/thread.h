// Worker threads with the kernel's suspend and resume semantics.
//
// Decisions this layer is built on (the control's effect worker and the drawing library rely on
// them):
// - A thread of this system cannot be suspended from outside. Suspension is a gate: Suspend()
//   raises the suspend count and Resume() lowers it, as SuspendThread and ResumeThread do, and
//   the thread itself waits at the gate (Gate()) while the count is above 0. The thread passes
//   the gate once before its procedure runs (so a thread made suspended runs nothing until it is
//   resumed) and wherever its procedure calls Gate() (the drawing library calls it between the
//   steps of an effect). So a suspended thread stops at its next gate, not at once; what the
//   other threads see (the suspend count, the thread alive, a wait that returns when the thread
//   has ended) is what the kernel's suspend and resume give.
// - Every word the threads share is an atomic or lies under the thread object's one mutex.
// - Priorities: THREAD_PRIORITY_NORMAL, _ABOVE_NORMAL and _BELOW_NORMAL map to the thread's nice
//   value 0, -1 and +1 (setpriority on the thread's id). A user without the right to raise a
//   priority (the usual case) keeps the nice value the system allows; the priority asked for is
//   still kept and reported, as the call cannot fail on the original.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/base/wintypes.h"

inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr DWORD STILL_ACTIVE = 259;
inline constexpr DWORD CREATE_SUSPENDED = 0x4;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD kSuspendFailed = 0xFFFFFFFF;

namespace platform::base {

class WorkerThread {
public:
    // Starts a thread that runs procedure(param) after its first gate; with CREATE_SUSPENDED in
    // flags it waits there until Resume(). The procedure's result is the exit code.
    WorkerThread(std::function<DWORD()> procedure, int priority, DWORD flags);
    // Waits for the thread to end (a suspended thread is resumed first so that it can end).
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // The previous suspend count; kSuspendFailed once the thread has ended.
    DWORD Suspend();
    // The previous suspend count (0: it was running; nothing changes).
    DWORD Resume();
    DWORD SuspendCount() const;
    // Called by the thread itself: waits while the suspend count is above 0.
    void Gate();

    BOOL SetPriority(int priority);
    int Priority() const { return priority_.load(); }

    // STILL_ACTIVE while the procedure runs (or waits at a gate), then its result.
    DWORD ExitCode() const;
    // WAIT_OBJECT_0 when the thread has ended within the time (INFINITE: however long it takes),
    // else WAIT_TIMEOUT. A wait from the thread itself returns WAIT_TIMEOUT at once.
    DWORD Wait(DWORD milliseconds);
    bool IsCurrent() const;

private:
    void Run(std::function<DWORD()> procedure);
    void ApplyPriority();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    DWORD suspendCount_ = 0;         // under mutex_
    bool ended_ = false;             // under mutex_
    bool constructed_ = false;       // under mutex_
    DWORD exitCode_ = STILL_ACTIVE;  // under mutex_
    std::atomic<int> priority_;
    std::atomic<long> tid_{0};
    std::thread thread_;
};

}  // namespace platform::base
