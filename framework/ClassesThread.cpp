#include "framework/ClassesThread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <system_error>

#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "framework/ClassesMessageParams.h"
#include "framework/ResStrings.h"

namespace fw {

namespace {

constexpr const char* kThreadWindowClass = "TThreadWindow";

// Every thread object and the window that runs their synchronised calls. The lock is the
// only one the threads share; it is never held while waiting for another thread.
struct ThreadRegistry {
    desktop::CriticalSection lock;
    int count = 0;
    desktop::HWND window = nullptr;
};

ThreadRegistry& Registry()
{
    // Never destroyed: workers may still unregister while the process exits.
    static auto* registry = new ThreadRegistry();
    return *registry;
}

class RegistryLock {
public:
    RegistryLock() { Registry().lock.Enter(); }
    ~RegistryLock() { Registry().lock.Leave(); }
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;
};

void EnsureThreadWindowClass(desktop::WNDPROC proc)
{
    desktop::WNDCLASS existing;
    if (desktop::GetClassInfo(kThreadWindowClass, &existing)) {
        return;
    }
    desktop::WNDCLASS cls;
    cls.lpfnWndProc = proc;
    cls.lpszClassName = kThreadWindowClass;
    if (!desktop::RegisterClass(cls)) {
        throw EOutOfResources(SWindowClass);
    }
}

// Only the window's own thread can destroy it. When the last thread object goes on a worker
// (one that frees itself) the window stays for the next thread object; posting the GUI thread
// a request instead could race with its shutdown, and the desktop destroys the window then anyway.
void ReleaseThreadWindowLocked()
{
    ThreadRegistry& registry = Registry();
    if (registry.count == 0 && desktop::IsWindow(registry.window) &&
        desktop::GetWindowThreadId(registry.window) == desktop::GetCurrentThreadId()) {
        desktop::HWND window = std::exchange(registry.window, nullptr);
        desktop::DestroyWindow(window);
    }
}

std::uint32_t KernelThreadId() { return static_cast<std::uint32_t>(gettid()); }

}  // namespace

desktop::LRESULT TThread::ThreadWindowProc(desktop::HWND window, desktop::UINT msg, desktop::WPARAM wParam,
                                           desktop::LPARAM lParam)
{
    if (msg == CM_EXECPROC) {
        auto* thread = LParamToPointer<TThread*>(lParam);
        try {
            if (thread->syncMethod_) {
                thread->syncMethod_();
            }
        } catch (...) {
            thread->syncException_ = std::current_exception();
        }
        return 0;
    }
    return desktop::DefWindowProc(window, msg, wParam, lParam);
}

const TClassInfo& TThread::Info()
{
    static const TClassInfo info{.name = "TThread", .parent = &TObject::Info()};
    return info;
}

TThread::TThread(bool createSuspended) : createSuspended_(createSuspended)
{
    {
        RegistryLock lock;
        ThreadRegistry& registry = Registry();
        if (!desktop::IsWindow(registry.window)) {
            // The first thread object's thread becomes the one that runs synchronised calls.
            EnsureThreadWindowClass(ThreadWindowProc);
            registry.window =
                desktop::CreateWindowEx(0, kThreadWindowClass, "", desktop::WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
            if (registry.window == nullptr) {
                throw EOutOfResources(SWindowClass);
            }
        }
        ++registry.count;
    }
    try {
        thread_ = std::thread([this] { ThreadMain(); });
    } catch (const std::system_error& error) {
        RegistryLock lock;
        --Registry().count;
        ReleaseThreadWindowLocked();
        throw EThread(FormatMessage1(SThreadCreateError, error.what()));
    }
    // The identifier is part of a constructed thread object.
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return threadId_.load() != 0; });
}

TThread::~TThread()
{
    EndThread();
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id()) {
            thread_.detach();  // FreeOnTerminate: the thread is deleting its own object
        } else {
            thread_.join();
        }
    }
    RegistryLock lock;
    --Registry().count;
    ReleaseThreadWindowLocked();
}

void TThread::EndThread()
{
    if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) {
        return;
    }
    bool neverStarted = false;
    {
        std::lock_guard lock(mutex_);
        neverStarted = !started_;
        abandoned_ = neverStarted;
    }
    wake_.notify_all();
    if (neverStarted) {
        return;
    }
    if (!finished_.load()) {
        Terminate();
        while (Paused()) {
            Resume();
        }
    }
    WaitFor();
}

void TThread::AfterConstruction()
{
    if (!createSuspended_) {
        createSuspended_ = true;  // once only: a later pause must not be undone by another call
        Resume();
    }
}

void TThread::ThreadMain()
{
    {
        std::lock_guard lock(mutex_);
        threadId_.store(KernelThreadId());
        ApplyPriorityLocked();
        wake_.notify_all();
    }
    if (!WaitForStart()) {
        ended_.Set();
        return;
    }
    try {
        Execute();
    } catch (...) {
        // Nobody is left to report it to; it ends the thread.
        std::lock_guard lock(mutex_);
        fatalException_ = std::current_exception();
    }
    const bool freeIt = freeOnTerminate_.load();
    finished_.store(true);
    bool hasEndHandler = false;
    {
        std::lock_guard lock(mutex_);
        hasEndHandler = static_cast<bool>(onTerminate_);
    }
    if (hasEndHandler) {
        try {
            Synchronize([this] { DoTerminate(); });
        } catch (...) {
            // The thread is ending either way.
        }
    }
    if (freeIt) {
        delete this;
        return;
    }
    ended_.Set();  // the last touch of this object from here
}

bool TThread::WaitForStart()
{
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !paused_.load() || abandoned_; });
    if (abandoned_) {
        return false;
    }
    started_ = true;
    return true;
}

void TThread::DoTerminate()
{
    TNotifyEvent handler;
    {
        std::lock_guard lock(mutex_);
        handler = onTerminate_;
    }
    if (handler) {
        handler(this);
    }
}

void TThread::Pause()
{
    std::lock_guard lock(mutex_);
    paused_.store(true);
    ++pauseGeneration_;
    wake_.notify_all();  // ends a sleep under way
}

void TThread::Resume()
{
    std::lock_guard lock(mutex_);
    paused_.store(false);
    wake_.notify_all();  // under the lock: a released thread may free itself right after
}

void TThread::Terminate()
{
    std::lock_guard lock(mutex_);
    terminated_.store(true);
    wake_.notify_all();  // under the lock: a released thread may free itself right after
}

bool TThread::OnSynchronizeThread() const
{
    const desktop::DWORD self = desktop::GetCurrentThreadId();
    if (self == desktop::GetGuiThreadId()) {
        return true;
    }
    RegistryLock lock;
    return desktop::IsWindow(Registry().window) && desktop::GetWindowThreadId(Registry().window) == self;
}

std::int32_t TThread::WaitFor()
{
    if (OnSynchronizeThread()) {
        desktop::MsgWaitForEvent(ended_, desktop::INFINITE);
    } else {
        ended_.Wait(desktop::INFINITE);
    }
    return returnValue_.load();
}

TThreadPriority TThread::GetPriority() const
{
    std::lock_guard lock(mutex_);
    return priority_;
}

void TThread::SetPriority(TThreadPriority value)
{
    std::lock_guard lock(mutex_);
    priority_ = value;
    ApplyPriorityLocked();
}

int TThread::ObjectCount()
{
    RegistryLock lock;
    return Registry().count;
}

int TThread::NiceValue(TThreadPriority priority)
{
    switch (priority) {
        case TThreadPriority::tpIdle: return 19;
        case TThreadPriority::tpLowest: return 10;
        case TThreadPriority::tpLower: return 5;
        case TThreadPriority::tpNormal: return 0;
        case TThreadPriority::tpHigher: return -5;
        case TThreadPriority::tpHighest: return -10;
        case TThreadPriority::tpTimeCritical: return -20;
    }
    return 0;
}

void TThread::ApplyPriorityLocked()
{
    const std::uint32_t tid = threadId_.load();
    if (tid != 0) {
        // Without privileges only lowering works; the requested value is kept regardless.
        static_cast<void>(setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(priority_)));
    }
}

void TThread::SetOnTerminate(TNotifyEvent handler)
{
    std::lock_guard lock(mutex_);
    onTerminate_ = std::move(handler);
}

std::exception_ptr TThread::FatalException() const
{
    std::lock_guard lock(mutex_);
    return fatalException_;
}

void TThread::Synchronize(TThreadMethod method)
{
    syncException_ = nullptr;
    syncMethod_ = std::move(method);
    desktop::HWND window = nullptr;
    {
        RegistryLock lock;
        window = Registry().window;
    }
    desktop::SendMessage(window, CM_EXECPROC, 0, PointerToLParam(this));
    syncMethod_ = nullptr;
    if (std::exception_ptr error = std::exchange(syncException_, nullptr)) {
        std::rethrow_exception(error);
    }
}

bool TThread::WaitWhilePaused()
{
    std::unique_lock lock(mutex_);
    if (!paused_.load()) {
        return false;
    }
    wake_.wait(lock, [this] { return !paused_.load(); });
    return true;
}

bool TThread::SleepFor(desktop::DWORD milliseconds)
{
    std::unique_lock lock(mutex_);
    const std::uint64_t generation = pauseGeneration_;
    return !wake_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [&] { return terminated_.load() || pauseGeneration_ != generation; });
}

}  // namespace fw
