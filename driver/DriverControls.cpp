#include "driver/DriverControls.h"

#include <vector>

#include "app/Unit1.h"
#include "desktop/Backend.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "framework/ComCtrls.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace driver {

using app::Form1;

namespace {

// The window drawn at the screen point: the topmost visible top-level window containing it,
// then down through the visible children. Disabled windows count (a modal dialog disables
// the main window, which is still seen).
desktop::HWND WindowDrawnAt(desktop::POINT screen)
{
    std::vector<desktop::HWND> tops(256);
    const int count = desktop::EnumThreadTopLevels(tops.data(), static_cast<int>(tops.size()));
    for (int i = 0; i < count; ++i) {
        desktop::HWND top = tops[static_cast<std::size_t>(i)];
        desktop::RECT outer;
        if (!desktop::IsWindowVisible(top) || desktop::IsIconic(top) || !desktop::GetWindowRect(top, &outer) ||
            !outer.Contains(screen)) {
            continue;
        }
        desktop::HWND window = top;
        for (;;) {
            desktop::POINT client = screen;
            desktop::ScreenToClient(window, &client);
            desktop::HWND child = desktop::ChildWindowFromPoint(window, client);
            if (child == nullptr || child == window) {
                return window;
            }
            window = child;
        }
    }
    return nullptr;
}

bool ParentShowing(fw::TControl* control)
{
    fw::TWinControl* parent = control->Parent();
    return parent != nullptr && parent->HandleAllocated() && desktop::IsWindowVisible(parent->WindowHandle());
}

bool MayShow(fw::TControl* control)
{
    if (auto* windowed = dynamic_cast<fw::TWinControl*>(control)) {
        return windowed->HandleAllocated() && desktop::IsWindowVisible(windowed->WindowHandle());
    }
    return control->Visible() && ParentShowing(control);
}

template <class Visit>
void ForEachVisiblePixel(fw::TControl* control, Visit visit)
{
    if (!MayShow(control)) {
        return;
    }
    const std::optional<desktop::RECT> rect = ScreenRectOf(control);
    if (!rect) {
        return;
    }
    const desktop::SIZE screen = desktop::CurrentBackend().ScreenSize();
    const desktop::RECT area = desktop::IntersectRects(*rect, desktop::RECT{0, 0, screen.cx, screen.cy});
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const desktop::POINT p{x, y};
            if (ShowsAt(control, p) && !visit(p)) {
                return;
            }
        }
    }
}

}  // namespace

fw::TCustomForm* OpenMessageDialog()
{
    fw::TApplication* application = fw::Application();
    if (application == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < application->ComponentCount(); ++i) {
        auto* dialog = dynamic_cast<fw::TMessageForm*>(application->Components(i));
        if (dialog != nullptr && dialog->Showing()) {
            return dialog;
        }
    }
    return nullptr;
}

fw::TComponent* FindNamed(const std::string& name)
{
    if (name.empty() || Form1 == nullptr) {
        return nullptr;
    }
    if (name == Form1->Name()) {
        return Form1;
    }
    if (fw::TCustomForm* dialog = OpenMessageDialog()) {
        if (fw::TComponent* part = dialog->FindComponent(name)) {
            return part;
        }
    }
    return Form1->FindComponent(name);
}

std::optional<std::string> TextOf(fw::TComponent* component)
{
    if (auto* memo = dynamic_cast<fw::TCustomMemo*>(component)) {
        std::string joined;
        for (int i = 0; i < memo->Lines()->Count(); ++i) {
            joined += (i > 0 ? "\\n" : "") + memo->Lines()->Strings(i);
        }
        return joined;
    }
    if (auto* control = dynamic_cast<fw::TControl*>(component)) {
        return control->GetText();
    }
    return std::nullopt;
}

std::optional<desktop::RECT> ScreenRectOf(fw::TControl* control)
{
    if (auto* windowed = dynamic_cast<fw::TWinControl*>(control)) {
        desktop::RECT rect;
        if (windowed->HandleAllocated() && desktop::GetWindowRect(windowed->WindowHandle(), &rect)) {
            return rect;
        }
        return std::nullopt;
    }
    fw::TWinControl* parent = control->Parent();
    if (parent == nullptr || !parent->HandleAllocated()) {
        return std::nullopt;
    }
    const desktop::POINT origin = parent->ClientToScreen({control->Left(), control->Top()});
    return desktop::RECT{origin.x, origin.y, origin.x + control->Width(), origin.y + control->Height()};
}

bool ShowsAt(fw::TControl* control, desktop::POINT screen)
{
    const desktop::HWND drawn = WindowDrawnAt(screen);
    if (drawn == nullptr) {
        return false;
    }
    if (auto* windowed = dynamic_cast<fw::TWinControl*>(control)) {
        const desktop::HWND own = windowed->WindowHandle();
        return own != nullptr && (drawn == own || desktop::IsChild(own, drawn));
    }
    fw::TWinControl* parent = control->Parent();
    if (parent == nullptr || drawn != parent->WindowHandle() || !control->Visible()) {
        return false;
    }
    // Controls without a window are painted on their parent in creation order, the last on top.
    const desktop::POINT local = parent->ScreenToClient(screen);
    for (int i = parent->ControlCount() - 1; i >= 0; --i) {
        fw::TControl* sibling = parent->Controls(i);
        if (!sibling->IsWindowed() && sibling->Visible() && sibling->BoundsRect().Contains(local)) {
            return sibling == control;
        }
    }
    return false;
}

std::optional<desktop::POINT> VisibleCentre(fw::TControl* control)
{
    std::vector<desktop::POINT> seen;
    long long sumX = 0;
    long long sumY = 0;
    ForEachVisiblePixel(control, [&](desktop::POINT p) {
        seen.push_back(p);
        sumX += p.x;
        sumY += p.y;
        return true;
    });
    if (seen.empty()) {
        return std::nullopt;
    }
    const long long n = static_cast<long long>(seen.size());
    const long long cx = sumX / n;
    const long long cy = sumY / n;
    desktop::POINT best = seen.front();
    long long bestDistance = -1;
    for (const desktop::POINT& p : seen) {
        const long long d = (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy);
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = p;
        }
    }
    return best;
}

bool IsSeen(fw::TControl* control)
{
    bool seen = false;
    ForEachVisiblePixel(control, [&](desktop::POINT) {
        seen = true;
        return false;
    });
    return seen;
}

std::optional<desktop::POINT> TabCentre(fw::TControl* control)
{
    auto* sheet = dynamic_cast<fw::TTabSheet*>(control);
    if (sheet == nullptr || sheet->PageControl() == nullptr || !sheet->PageControl()->HandleAllocated() ||
        sheet->TabIndex() < 0) {
        return std::nullopt;
    }
    const desktop::HWND tabs = sheet->PageControl()->WindowHandle();
    desktop::RECT item;
    if (desktop::SendMessage(tabs, desktop::TCM_GETITEMRECT, static_cast<desktop::WPARAM>(sheet->TabIndex()),
                             reinterpret_cast<desktop::LPARAM>(&item)) == 0) {
        return std::nullopt;
    }
    desktop::POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    desktop::ClientToScreen(tabs, &centre);
    if (!ShowsAt(sheet->PageControl(), centre)) {
        return std::nullopt;
    }
    return centre;
}

std::string FocusedName()
{
    const desktop::HWND focus = desktop::GetFocus();
    if (focus == nullptr) {
        return "";
    }
    for (fw::TControl* control = fw::TWinControl::FindControlAbove(focus); control != nullptr;
         control = control->Parent()) {
        if (!control->Name().empty()) {
            return control->Name();
        }
    }
    return "";
}

}  // namespace driver
