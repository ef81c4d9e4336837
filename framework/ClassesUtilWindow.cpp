#include "framework/ClassesUtilWindow.h"

#include <memory>
#include <utility>

#include "desktop/Window.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

constexpr const char* kUtilWindowClass = "TPUtilWindow";

// Kept in the window's user data. The handler is shared so that a message being handled
// keeps it alive when the handler deallocates its own window.
struct UtilWindowData {
    std::shared_ptr<TWndMethod> handler;
};

UtilWindowData* DataOf(desktop::HWND window)
{
    return reinterpret_cast<UtilWindowData*>(desktop::GetWindowLongPtr(window, desktop::GWL_USERDATA));
}

desktop::LRESULT UtilWindowProc(desktop::HWND window, desktop::UINT msg, desktop::WPARAM wParam, desktop::LPARAM lParam)
{
    UtilWindowData* data = DataOf(window);
    std::shared_ptr<TWndMethod> handler = data != nullptr ? data->handler : nullptr;
    if (msg == desktop::WM_NCDESTROY && data != nullptr) {
        // The desktop may tear windows down without DeallocateHWnd (at shutdown).
        desktop::SetWindowLongPtr(window, desktop::GWL_USERDATA, 0);
        delete data;
    }
    if (handler && *handler) {
        return (*handler)(window, msg, wParam, lParam);
    }
    return desktop::DefWindowProc(window, msg, wParam, lParam);
}

void EnsureUtilWindowClass()
{
    desktop::WNDCLASS existing;
    if (desktop::GetClassInfo(kUtilWindowClass, &existing)) {
        return;
    }
    desktop::WNDCLASS cls;
    cls.lpfnWndProc = UtilWindowProc;
    cls.lpszClassName = kUtilWindowClass;
    if (!desktop::RegisterClass(cls)) {
        throw EOutOfResources(SWindowClass);
    }
}

}  // namespace

desktop::HWND AllocateHWnd(TWndMethod handler)
{
    EnsureUtilWindowClass();
    desktop::HWND window = desktop::CreateWindowEx(desktop::WS_EX_TOOLWINDOW, kUtilWindowClass, "", desktop::WS_POPUP,
                                                   0, 0, 0, 0, nullptr, 0, nullptr);
    if (window == nullptr) {
        throw EOutOfResources(SWindowClass);
    }
    auto* data = new UtilWindowData{std::make_shared<TWndMethod>(std::move(handler))};
    desktop::SetWindowLongPtr(window, desktop::GWL_USERDATA, reinterpret_cast<std::intptr_t>(data));
    return window;
}

void DeallocateHWnd(desktop::HWND window)
{
    if (!desktop::IsWindow(window)) {
        return;
    }
    // From here on the window only gets default handling, also for its destruction messages.
    if (UtilWindowData* data = DataOf(window)) {
        data->handler.reset();
    }
    desktop::DestroyWindow(window);
}

}  // namespace fw
