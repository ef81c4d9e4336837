// A parent window that records what its controls tell it, and a headless
// fixture with the standard controls registered.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "desktop/Controls.h"

namespace desktop::testing {

struct Notification {
    UINT message = 0;  // WM_COMMAND or WM_NOTIFY
    WORD id = 0;
    UINT code = 0;
    HWND from = nullptr;
};

struct ParentRecord {
    std::vector<Notification> notifications;
    std::vector<UINT> messages;  // every message but the noisy ones
    LRESULT selChangingAnswer = 0;
    std::vector<WPARAM> initMenuPopups;  // WM_INITMENUPOPUP wParam
    std::function<void()> onApp;         // run when WM_APP arrives (from inside modal loops)
    std::function<void(HWND, UINT, WPARAM)> onCommand;
    // Answer to WM_CTLCOLOR*: the brush, and the text colour put on the DC.
    HBRUSH ctlColorBrush = nullptr;
    COLORREF ctlTextColor = 0;
    std::vector<UINT> ctlColorRequests;
};

inline ParentRecord& Parent()
{
    static ParentRecord r;
    return r;
}

inline LRESULT ControlParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ParentRecord& r = Parent();
    if (Interesting(msg)) r.messages.push_back(msg);
    switch (msg) {
        case WM_COMMAND:
            r.notifications.push_back({msg, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
            if (r.onCommand) r.onCommand(hwnd, msg, wParam);
            return 0;
        case WM_NOTIFY: {
            const auto* h = reinterpret_cast<const NMHDR*>(lParam);
            r.notifications.push_back({msg, WORD(h->idFrom), h->code, h->hwndFrom});
            return h->code == TCN_SELCHANGING ? r.selChangingAnswer : 0;
        }
        case WM_INITMENUPOPUP: r.initMenuPopups.push_back(wParam); return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            r.ctlColorRequests.push_back(msg);
            if (!r.ctlColorBrush) return 0;
            SetTextColor(reinterpret_cast<HDC>(wParam), r.ctlTextColor);
            return LRESULT(reinterpret_cast<std::intptr_t>(r.ctlColorBrush));
        case WM_APP:
            if (r.onApp) {
                auto action = r.onApp;
                action();
            }
            return 0;
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

class ControlsTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        RegisterStandardControls();
        WNDCLASS cls;
        cls.lpfnWndProc = ControlParentProc;
        cls.lpszClassName = "ControlParent";
        cls.hbrBackground = COLOR_BTNFACE + 1;
        RegisterClass(cls);
        Parent() = ParentRecord{};
    }
    void TearDown() override
    {
        if (Parent().ctlColorBrush) DeleteObject(Parent().ctlColorBrush);
        Parent() = ParentRecord{};
        HeadlessTest::TearDown();
    }

    HWND MakeParent(RECT r = RECT{100, 100, 500, 400})
    {
        HWND w = CreateWindowEx(0, "ControlParent", "parent", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                r.left, r.top, r.Width(), r.Height(), nullptr, 0, nullptr);
        headless::PumpMessages();
        return w;
    }
    static HWND MakeControl(HWND parent, const char* cls, const std::string& text, DWORD style, RECT r, int id,
                            DWORD exStyle = 0)
    {
        HWND w = CreateWindowEx(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.Width(), r.Height(),
                                parent, HMENU(id), nullptr);
        headless::PumpMessages();
        return w;
    }
    static int CountNotifications(UINT code, WORD id)
    {
        int n = 0;
        for (const Notification& x : Parent().notifications)
            if (x.code == code && x.id == id) ++n;
        return n;
    }
    static std::vector<UINT> NotificationCodes()
    {
        std::vector<UINT> codes;
        for (const Notification& x : Parent().notifications) codes.push_back(x.code);
        return codes;
    }
    // Runs `action` from inside whatever modal loop the next call starts.
    static void FromInsideTheLoop(HWND parent, std::function<void()> action)
    {
        Parent().onApp = std::move(action);
        PostMessage(parent, WM_APP, 0, 0);
    }
    static POINT Center(const RECT& screenRect)
    {
        return POINT{(screenRect.left + screenRect.right) / 2, (screenRect.top + screenRect.bottom) / 2};
    }
    static POINT ClientPointOnScreen(HWND w, POINT client)
    {
        ClientToScreen(w, &client);
        return client;
    }
};

}  // namespace desktop::testing
