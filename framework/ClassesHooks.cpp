#include "framework/ClassesHooks.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

// Hooks are installed and used on the GUI thread, but workers read them too.
std::mutex hooksMutex;
ApplicationHooks installedHooks;
std::atomic<bool> shuttingDown{false};

ApplicationHooks CurrentHooks()
{
    std::lock_guard lock(hooksMutex);
    return installedHooks;
}

}  // namespace

void ApplicationHandleException(TObject* sender)
{
    ApplicationHooks hooks = CurrentHooks();
    if (hooks.handleException) {
        hooks.handleException(sender);
    }
}

void ApplicationShowException(TObject* sender, const Exception& error)
{
    ApplicationHooks hooks = CurrentHooks();
    if (hooks.showException) {
        hooks.showException(sender, error);
    }
}

bool ApplicationShuttingDown() { return shuttingDown.load(std::memory_order_acquire); }

void InstallApplicationHooks(ApplicationHooks hooks)
{
    std::lock_guard lock(hooksMutex);
    installedHooks = std::move(hooks);
}

void RemoveApplicationHooks()
{
    std::lock_guard lock(hooksMutex);
    installedHooks = {};
}

void SetApplicationShuttingDown(bool value) { shuttingDown.store(value, std::memory_order_release); }

}  // namespace fw
