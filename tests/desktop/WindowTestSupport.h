// A recording window class and a headless fixture for the window tests.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "desktop/Gdi.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"

namespace desktop::testing {

struct LoggedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::mutex& LogMutex()
{
    static std::mutex m;
    return m;
}
inline std::vector<LoggedMessage>& Log()
{
    static std::vector<LoggedMessage> log;
    return log;
}

inline bool Interesting(UINT msg)
{
    switch (msg) {
        case WM_SETCURSOR:
        case WM_NCPAINT:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_ERASEBKGND:
        case WM_NCHITTEST:
        case WM_MOUSEACTIVATE: return false;
        default: return true;
    }
}

// Paints its client area in the colour kept in its user data.
inline LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (Interesting(msg)) {
        std::lock_guard lock(LogMutex());
        Log().push_back({hwnd, msg, wParam, lParam});
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH brush = CreateSolidBrush(COLORREF(GetWindowLongPtr(hwnd, GWL_USERDATA)));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

inline int CountMessages(HWND hwnd, UINT msg)
{
    std::lock_guard lock(LogMutex());
    int n = 0;
    for (const auto& m : Log())
        if (m.hwnd == hwnd && m.message == msg) ++n;
    return n;
}

inline std::vector<UINT> MessagesOf(HWND hwnd)
{
    std::lock_guard lock(LogMutex());
    std::vector<UINT> r;
    for (const auto& m : Log())
        if (m.hwnd == hwnd) r.push_back(m.message);
    return r;
}

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::Install();
        WNDCLASS cls;
        cls.lpfnWndProc = RecordingProc;
        cls.lpszClassName = "RecordingWindow";
        cls.style = CS_DBLCLKS;
        RegisterClass(cls);
        std::lock_guard lock(LogMutex());
        Log().clear();
    }
    void TearDown() override { headless::Uninstall(); }

    HWND TopLevel(RECT r, COLORREF color, DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE)
    {
        HWND w = CreateWindowEx(0, "RecordingWindow", "top", style, r.left, r.top, r.Width(), r.Height(), nullptr, 0,
                                nullptr);
        SetWindowLongPtr(w, GWL_USERDATA, std::intptr_t(color));
        InvalidateRect(w, nullptr, true);
        return w;
    }
    HWND Child(HWND parent, RECT r, COLORREF color, DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0)
    {
        HWND w = CreateWindowEx(exStyle, "RecordingWindow", "child", style, r.left, r.top, r.Width(), r.Height(),
                                parent, 0, nullptr);
        SetWindowLongPtr(w, GWL_USERDATA, std::intptr_t(color));
        InvalidateRect(w, nullptr, true);
        return w;
    }
    static POINT ScreenPointOf(HWND w, POINT client)
    {
        ClientToScreen(w, &client);
        return client;
    }
};

}  // namespace desktop::testing
