#include "framework/ComCtrls.h"

#include <algorithm>
#include <string>

#include "desktop/Controls.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesHooks.h"
#include "framework/FormsForm.h"

namespace fw {

namespace {

constexpr int kDefaultWidth = 289;
constexpr int kDefaultHeight = 193;

bool IsInside(const TControl* control, const TWinControl* container)
{
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c == container) {
            return true;
        }
    }
    return false;
}

// While the owner (the form) tears everything down, pages just let go of each other.
bool TearingDown(const TComponent& component)
{
    return component.HasState(csDestroying) ||
           (component.Owner() != nullptr && component.Owner()->HasState(csDestroying));
}

}  // namespace

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls | csNoDesignVisible);
    SetVisible(false);
}

TTabSheet::~TTabSheet()
{
    if (pageControl_ != nullptr) {
        pageControl_->RemovePage(this);
    }
}

const TClassInfo& TTabSheet::Info()
{
    static const TClassInfo info = ClassBuilder<TTabSheet, TWinControl>("TTabSheet")
                                       .Integer("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex)
                                       .Integer("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex)
                                       .Boolean("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible)
                                       .Event("OnShow", [](TTabSheet* s, TNotifyEvent e) { s->OnShow = std::move(e); })
                                       .Event("OnHide", [](TTabSheet* s, TNotifyEvent e) { s->OnHide = std::move(e); })
                                       .Build();
    return info;
}

void TTabSheet::SetPageControl(TPageControl* value)
{
    if (pageControl_ == value) {
        return;
    }
    if (pageControl_ != nullptr) {
        pageControl_->RemovePage(this);
    }
    SetParent(value);
    if (value != nullptr) {
        value->InsertPage(this);
    }
}

void TTabSheet::SetParentComponent(TComponent* parent)
{
    if (auto* pageControl = dynamic_cast<TPageControl*>(parent)) {
        SetPageControl(pageControl);
        return;
    }
    TWinControl::SetParentComponent(parent);
}

int TTabSheet::PageIndex() const
{
    if (pageControl_ == nullptr) {
        return -1;
    }
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value)
{
    if (pageControl_ != nullptr) {
        pageControl_->MovePage(this, value);
    }
}

int TTabSheet::TabIndex() const
{
    if (pageControl_ == nullptr || !tabVisible_) {
        return -1;
    }
    int index = 0;
    for (const TTabSheet* page : pageControl_->pages_) {
        if (page == this) {
            return index;
        }
        if (page->tabVisible_) {
            ++index;
        }
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool value)
{
    if (tabVisible_ == value) {
        return;
    }
    const int oldTab = TabIndex();
    tabVisible_ = value;
    if (pageControl_ == nullptr) {
        return;
    }
    pageControl_->UpdateTabs();
    // A hidden active tab hands over to the tab that takes its place.
    if (!value && pageControl_->activePage_ == this && !pageControl_->IsLoading()) {
        const int count = pageControl_->TabCount();
        pageControl_->SetActivePage(count > 0 ? pageControl_->PageForTab(std::min(oldTab, count - 1)) : nullptr);
    }
}

void TTabSheet::SetImageIndex(int value)
{
    if (imageIndex_ != value) {
        imageIndex_ = value;
        if (pageControl_ != nullptr) {
            pageControl_->UpdateTabs();
        }
    }
}

void TTabSheet::DoShow()
{
    if (OnShow) {
        OnShow(this);
    }
}

void TTabSheet::DoHide()
{
    if (OnHide) {
        OnHide(this);
    }
}

void TTabSheet::CMTextChanged(TWMNoParams message)
{
    TWinControl::CMTextChanged(message);
    if (pageControl_ != nullptr) {
        pageControl_->UpdateTabs();
    }
}

void TTabSheet::CMShowingChanged(TWMNoParams message)
{
    TWinControl::CMShowingChanged(message);
    UpdateShowingState();
}

void TTabSheet::UpdateShowingState()
{
    const bool showing = Showing();
    if (showing == reportedShowing_) {
        return;
    }
    reportedShowing_ = showing;
    // A failing handler is reported; the page stays as it is.
    try {
        if (showing) {
            DoShow();
        } else {
            DoHide();
        }
    } catch (...) {
        ApplicationHandleException(this);
    }
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner)
{
    SetControlStyle(csDoubleClicks | csOpaque);
    SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
    SetTabStop(true);
}

TPageControl::~TPageControl()
{
    destroying_ = true;
    for (TTabSheet* page : pages_) {
        page->pageControl_ = nullptr;
    }
    pages_.clear();
    activePage_ = nullptr;
}

const TClassInfo& TPageControl::Info()
{
    static const TClassInfo info =
        ClassBuilder<TPageControl, TWinControl>("TPageControl")
            .Object("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
            .Event("OnChange", [](TPageControl* p, TNotifyEvent e) { p->OnChange = std::move(e); })
            .Build();
    return info;
}

TTabSheet* TPageControl::Pages(int index) const
{
    if (index < 0 || index >= PageCount()) {
        return nullptr;
    }
    return pages_[static_cast<std::size_t>(index)];
}

int TPageControl::ActivePageIndex() const { return activePage_ != nullptr ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int value) { SetActivePage(Pages(value)); }

int TPageControl::TabCount() const
{
    return static_cast<int>(
        std::count_if(pages_.begin(), pages_.end(), [](const TTabSheet* p) { return p->tabVisible_; }));
}

int TPageControl::TabIndex()
{
    if (HandleAllocated()) {
        return static_cast<int>(Perform(desktop::TCM_GETCURSEL));
    }
    return activePage_ != nullptr ? activePage_->TabIndex() : -1;
}

TTabSheet* TPageControl::PageForTab(int tabIndex) const
{
    int index = 0;
    for (TTabSheet* page : pages_) {
        if (!page->tabVisible_) {
            continue;
        }
        if (index == tabIndex) {
            return page;
        }
        ++index;
    }
    return nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page != nullptr && page->pageControl_ != this) {
        return;
    }
    ChangeActivePage(page);
    if (page == nullptr) {
        SelectTab(-1);
    } else if (page == activePage_) {
        SelectTab(page->TabIndex());
    }
}

void TPageControl::ChangeActivePage(TTabSheet* page)
{
    if (activePage_ == page) {
        return;
    }
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && activePage_ != nullptr && IsInside(form->ActiveControl(), activePage_)) {
        // The focus leaves the old page's control first; the control may refuse to let go.
        if (activePage_->CanFocus()) {
            form->SetActiveControl(activePage_);
        }
        if (form->ActiveControl() != activePage_) {
            SelectTab(activePage_->TabIndex());
            return;
        }
    }
    if (page != nullptr) {
        page->BringToFront();
        page->SetVisible(true);
        if (form != nullptr && activePage_ != nullptr && form->ActiveControl() == activePage_) {
            if (page->CanFocus()) {
                form->SetActiveControl(page);
            } else if (CanFocus()) {
                form->SetActiveControl(this);
            }
        }
    }
    if (activePage_ != nullptr) {
        activePage_->SetVisible(false);
    }
    activePage_ = page;
    if (form != nullptr && activePage_ != nullptr && form->ActiveControl() == activePage_) {
        TWinControl* first = activePage_->FindNextControl(nullptr, true, true, false);
        if (first == nullptr) {
            first = activePage_->FindNextControl(nullptr, true, false, false);
        }
        if (first != nullptr && first->CanFocus()) {
            form->SetActiveControl(first);
        }
    }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const
{
    const int count = PageCount();
    if (count == 0) {
        return nullptr;
    }
    int start = static_cast<int>(std::find(pages_.begin(), pages_.end(), current) - pages_.begin());
    if (start == count) {
        start = goForward ? count - 1 : 0;
    }
    int i = start;
    do {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* page = pages_[static_cast<std::size_t>(i)];
        if (!checkTabVisible || page->tabVisible_) {
            return page;
        }
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward)
{
    TTabSheet* page = FindNextPage(activePage_, goForward, true);
    if (page != nullptr && page != activePage_ && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

bool TPageControl::SelectPage(TTabSheet* page)
{
    if (page == nullptr || page->pageControl_ != this || !page->TabVisible()) {
        return false;
    }
    if (page == activePage_) {
        return true;
    }
    if (!CanChange()) {
        return false;
    }
    SetActivePage(page);
    Change();
    return activePage_ == page;
}

desktop::RECT TPageControl::DisplayRect()
{
    desktop::RECT rect = ClientRect();
    if (HandleAllocated()) {
        Perform(desktop::TCM_ADJUSTRECT, 0, PointerToLParam(&rect));
    }
    return rect;
}

void TPageControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TTabSheet* page : pages_) {
        if (root == nullptr || page->Owner() == root) {
            proc(page);
        }
    }
}

bool TPageControl::CanChange()
{
    bool allow = true;
    if (OnChanging) {
        OnChanging(this, allow);
    }
    return allow;
}

void TPageControl::Change()
{
    if (OnChange) {
        OnChange(this);
    }
}

void TPageControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    CreateSubClass(params, desktop::kTabControlClass);
    params.Style |= desktop::WS_CLIPCHILDREN;
    params.Style |= desktop::TCS_TABS | desktop::TCS_SINGLELINE;
}

void TPageControl::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateTabs();
    PlaceSheets();
}

void TPageControl::CNNotify(TWMNotify message)
{
    const desktop::NMHDR* header = message.NMHdr();
    if (header != nullptr && header->code == desktop::TCN_SELCHANGING) {
        message.SetResult(CanChange() ? 0 : 1);
        return;
    }
    if (header != nullptr && header->code == desktop::TCN_SELCHANGE) {
        SetActivePage(PageForTab(TabIndex()));
        Change();
        return;
    }
    TWinControl::CNNotify(message);
}

void TPageControl::CMDialogKey(TCMDialogKey message)
{
    const TShiftState shift = message.ShiftState();
    if (message.CharCode() == desktop::VK_TAB && (shift & ssCtrl) != 0 && FocusInside()) {
        SelectNextPage((shift & ssShift) == 0);
        message.SetResult(1);
        return;
    }
    TWinControl::CMDialogKey(message);
}

void TPageControl::CMFontChanged(TWMNoParams message)
{
    TWinControl::CMFontChanged(message);
    PlaceSheets();
}

void TPageControl::WMSize(TWMSize message)
{
    TWinControl::WMSize(message);
    PlaceSheets();
}

void TPageControl::InsertPage(TTabSheet* page)
{
    pages_.push_back(page);
    page->pageControl_ = this;
    UpdateTabs();
    PlaceSheets();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const int oldTab = page->TabIndex();
    std::erase(pages_, page);
    page->pageControl_ = nullptr;
    if (destroying_ || TearingDown(*this) || TearingDown(*page)) {
        if (activePage_ == page) {
            activePage_ = nullptr;
        }
        return;
    }
    UpdateTabs();
    if (activePage_ == page) {
        // The page's own focus and visibility go with it; the neighbour takes over.
        activePage_ = nullptr;
        const int count = TabCount();
        SetActivePage(count > 0 && oldTab >= 0 ? PageForTab(std::min(oldTab, count - 1)) : nullptr);
    }
}

void TPageControl::MovePage(TTabSheet* page, int index)
{
    const auto found = std::find(pages_.begin(), pages_.end(), page);
    if (found == pages_.end()) {
        return;
    }
    pages_.erase(found);
    index = std::clamp(index, 0, PageCount());
    pages_.insert(pages_.begin() + index, page);
    UpdateTabs();
}

void TPageControl::UpdateTabs()
{
    if (!HandleAllocated()) {
        return;
    }
    Perform(desktop::TCM_DELETEALLITEMS);
    int index = 0;
    for (TTabSheet* page : pages_) {
        if (!page->tabVisible_) {
            continue;
        }
        const std::string caption = page->Caption();
        desktop::TCITEM item;
        item.mask = desktop::TCIF_TEXT | desktop::TCIF_IMAGE;
        item.pszText = caption.c_str();
        item.iImage = page->imageIndex_;
        Perform(desktop::TCM_INSERTITEM, static_cast<desktop::WPARAM>(index), PointerToLParam(&item));
        ++index;
    }
    SelectTab(activePage_ != nullptr ? activePage_->TabIndex() : -1);
}

void TPageControl::SelectTab(int tabIndex)
{
    if (HandleAllocated() && tabIndex >= 0) {
        Perform(desktop::TCM_SETCURSEL, static_cast<desktop::WPARAM>(tabIndex));
    }
}

void TPageControl::PlaceSheets()
{
    if (!HandleAllocated()) {
        return;
    }
    const desktop::RECT area = DisplayRect();
    for (TTabSheet* page : pages_) {
        page->SetBounds(area.left, area.top, area.Width(), area.Height());
    }
}

bool TPageControl::FocusInside()
{
    if (!HandleAllocated()) {
        return false;
    }
    desktop::HWND focus = desktop::GetFocus();
    return focus != nullptr && (focus == Handle() || desktop::IsChild(Handle(), focus));
}

}  // namespace fw
