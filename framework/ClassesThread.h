#pragma once

// Worker threads with the framework's life cycle: created paused or running, paused and
// resumed without suspending the system thread, calls handed to the GUI thread, priorities,
// and a process-wide registry of thread objects.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "desktop/System.h"
#include "desktop/Types.h"
#include "framework/ClassesComponent.h"

namespace fw {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TThreadMethod = std::function<void()>;

// The message a worker sends to the thread window to have its method run on the GUI thread.
inline constexpr desktop::UINT CM_EXECPROC = 0x8FFF;

class EThread : public Exception {
public:
    using Exception::Exception;
};

// Pausing is cooperative: Pause only sets a flag, and a paused thread stops where its Execute
// checks — in WaitWhilePaused, or in SleepFor, which a pause cuts short. A thread created
// paused waits before Execute. Derived classes call those checks between units of work
// (a worker that sleeps then delivers checks before the sleep and again before delivering).
//
// Destruction: a thread that has started is told to end, released from any pause and waited
// for; one that never started is discarded without running Execute. Classes whose Execute
// uses their own members call EndThread first in their own destructor, because those members
// are gone by the time this destructor runs. A FreeOnTerminate thread deletes itself when
// Execute returns and must not be deleted or waited for by others.
class TThread : public TObject {
public:
    // A thread created running starts once AfterConstruction has run (NewThread does that).
    explicit TThread(bool createSuspended);
    ~TThread() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // Completes construction: starts a thread that was not created paused.
    void AfterConstruction();

    void Pause();
    void Resume();
    // Only sets the told-to-end flag (and wakes a sleep in SleepFor); Execute decides when to leave.
    void Terminate();
    // Waits for the system thread to end and returns ReturnValue. On the GUI thread the calls
    // other threads hand over keep running meanwhile, so a worker blocked in Synchronize can end.
    std::int32_t WaitFor();

    bool Paused() const { return paused_.load(); }
    bool Terminated() const { return terminated_.load(); }
    bool Finished() const { return finished_.load(); }
    // The system thread identifier (the kernel's thread id).
    std::uint32_t ThreadID() const { return threadId_.load(); }

    TThreadPriority GetPriority() const;
    // Kept even when the system refuses it (raising priority needs privileges on Linux).
    void SetPriority(TThreadPriority value);
    bool GetFreeOnTerminate() const { return freeOnTerminate_.load(); }
    void SetFreeOnTerminate(bool value) { freeOnTerminate_.store(value); }
    std::int32_t GetReturnValue() const { return returnValue_.load(); }
    // Run on the GUI thread after Execute has returned.
    void SetOnTerminate(TNotifyEvent handler);
    // What ended Execute by escaping it, null when it returned normally.
    std::exception_ptr FatalException() const;

    // The nice value a priority maps to.
    static int NiceValue(TThreadPriority priority);
    // Thread objects in the registry (diagnostics; a self-freeing worker leaves it as it ends).
    static int ObjectCount();

protected:
    virtual void Execute() = 0;
    virtual void DoTerminate();
    // What destruction does to the system thread, for derived destructors; repeatable.
    void EndThread();

    // Runs method on the GUI thread and returns once it has run there; an exception it
    // raised is raised again here. Without a GUI thread to take it the call is dropped.
    void Synchronize(TThreadMethod method);
    void SetReturnValue(std::int32_t value) { returnValue_.store(value); }

    // Pause checks for Execute. WaitWhilePaused returns true when it had to wait.
    bool WaitWhilePaused();
    // Sleeps; false when Terminate or Pause cut the sleep short.
    bool SleepFor(desktop::DWORD milliseconds);

private:
    static desktop::LRESULT ThreadWindowProc(desktop::HWND window, desktop::UINT msg, desktop::WPARAM wParam,
                                             desktop::LPARAM lParam);
    void ThreadMain();
    bool WaitForStart();
    void ApplyPriorityLocked();
    bool OnSynchronizeThread() const;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    std::atomic<std::uint32_t> threadId_{0};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> paused_{true};  // also the start gate: every thread begins held
    std::atomic<bool> freeOnTerminate_{false};
    std::atomic<bool> finished_{false};
    std::atomic<std::int32_t> returnValue_{0};
    bool createSuspended_ = true;
    bool started_ = false;    // Execute has been entered (or is about to be)
    bool abandoned_ = false;  // destroyed before it started
    std::uint64_t pauseGeneration_ = 0;
    TThreadPriority priority_ = TThreadPriority::tpNormal;
    TNotifyEvent onTerminate_;
    std::exception_ptr fatalException_;
    // Handed to the GUI thread by Synchronize; the send orders the accesses.
    TThreadMethod syncMethod_;
    std::exception_ptr syncException_;
    desktop::Event ended_{true, false};
};

// Creates a thread object and completes its construction, so that one created running starts.
template <class T, class... Args>
T* NewThread(Args&&... args)
{
    T* thread = new T(std::forward<Args>(args)...);
    thread->AfterConstruction();
    return thread;
}

}  // namespace fw
