#pragma once

// The application object's services that lower layers (threads, timers) call without
// depending on the forms layer. The application installs them at construction and removes
// them when it is destroyed; while none is installed, exceptions are simply dropped.

#include <functional>

namespace fw {

class Exception;
class TObject;

// Reports the exception currently being handled; call only inside a catch block.
void ApplicationHandleException(TObject* sender);
// Reports an exception raised on a worker thread: the application's exception event if set,
// else its exception display.
void ApplicationShowException(TObject* sender, const Exception& error);
// True once the application has begun shutting down; workers deliver nothing then.
bool ApplicationShuttingDown();

struct ApplicationHooks {
    std::function<void(TObject* sender)> handleException;
    std::function<void(TObject* sender, const Exception& error)> showException;
};
void InstallApplicationHooks(ApplicationHooks hooks);
void RemoveApplicationHooks();
void SetApplicationShuttingDown(bool value);

}  // namespace fw
