#include "platform/base/thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

namespace platform::base {

WorkerThread::WorkerThread(std::function<DWORD()> procedure, int priority, DWORD flags)
    : priority_(priority) {
    if (flags & CREATE_SUSPENDED) suspendCount_ = 1;
    thread_ = std::thread(
        [this, procedure = std::move(procedure)]() mutable { Run(std::move(procedure)); });
    {
        std::lock_guard lock(mutex_);
        constructed_ = true;
    }
    changed_.notify_all();
}

WorkerThread::~WorkerThread() {
    {
        std::lock_guard lock(mutex_);
        suspendCount_ = 0;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        if (IsCurrent()) {
            thread_.detach();
        } else {
            thread_.join();
        }
    }
}

void WorkerThread::Run(std::function<DWORD()> procedure) {
    tid_.store(static_cast<long>(::syscall(SYS_gettid)));
    {
        // The object is whole (thread_ is set) before the procedure can look at it.
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return constructed_; });
    }
    ApplyPriority();
    Gate();
    DWORD code = procedure();
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
        exitCode_ = code;
    }
    changed_.notify_all();
}

DWORD WorkerThread::Suspend() {
    std::lock_guard lock(mutex_);
    if (ended_) return kSuspendFailed;
    return suspendCount_++;
}

DWORD WorkerThread::Resume() {
    DWORD previous;
    {
        std::lock_guard lock(mutex_);
        previous = suspendCount_;
        if (suspendCount_ > 0) --suspendCount_;
    }
    changed_.notify_all();
    return previous;
}

DWORD WorkerThread::SuspendCount() const {
    std::lock_guard lock(mutex_);
    return suspendCount_;
}

void WorkerThread::Gate() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return suspendCount_ == 0; });
}

BOOL WorkerThread::SetPriority(int priority) {
    priority_.store(priority);
    ApplyPriority();
    return TRUE;
}

void WorkerThread::ApplyPriority() {
    long tid = tid_.load();
    if (!tid) return;  // the thread applies it when it starts
    int nice = priority_.load() == THREAD_PRIORITY_ABOVE_NORMAL   ? -1
               : priority_.load() == THREAD_PRIORITY_BELOW_NORMAL ? 1
                                                                  : 0;
    // Refused without the right to raise a priority; the thread then keeps the value it has.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice);
}

DWORD WorkerThread::ExitCode() const {
    std::lock_guard lock(mutex_);
    return exitCode_;
}

DWORD WorkerThread::Wait(DWORD milliseconds) {
    if (IsCurrent()) return WAIT_TIMEOUT;
    std::unique_lock lock(mutex_);
    auto done = [this] { return ended_; };
    if (milliseconds == INFINITE) {
        changed_.wait(lock, done);
        return WAIT_OBJECT_0;
    }
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), done) ? WAIT_OBJECT_0
                                                                                  : WAIT_TIMEOUT;
}

bool WorkerThread::IsCurrent() const {
    return std::this_thread::get_id() == thread_.get_id();
}

}  // namespace platform::base
