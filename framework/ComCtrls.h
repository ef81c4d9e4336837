#pragma once

// TPageControl and TTabSheet: the desktop layer's tab control with one tab per sheet whose
// TabVisible is set, and the sheets as child windows filling its display area. Only the
// active sheet is shown. Ctrl+Tab / Ctrl+Shift+Tab, while the focus is in the page control,
// select the next / previous sheet, wrapping around.

#include <functional>
#include <vector>

#include "framework/ControlsWinControl.h"

namespace fw {

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TPageControl* PageControl() const { return pageControl_; }
    // Moves the sheet to another page control (as its last page), or out of any with nullptr.
    void SetPageControl(TPageControl* value);
    // Position among the page control's sheets; -1 outside one.
    int PageIndex() const;
    void SetPageIndex(int value);
    // Position among the visible tabs; -1 when the tab is hidden or outside a page control.
    int TabIndex() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);
    // Has no effect without an image list.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);

    // A layout nests sheets in their page control.
    void SetParentComponent(TComponent* parent) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    virtual void DoShow();
    virtual void DoHide();
    void CMTextChanged(TWMNoParams message) override;
    void CMShowingChanged(TWMNoParams message) override;

private:
    friend class TPageControl;
    // Fires OnShow / OnHide when Showing() differs from what was last reported.
    void UpdateShowingState();

    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = 0;
    bool reportedShowing_ = false;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    // Shows page (one of this control's, or nullptr for none) and moves the focus with it.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int value);
    // The selected tab (visible tabs only); -1 when none is selected.
    int TabIndex();
    int TabCount() const;

    // The sheet after (before) current, wrapping around; with checkTabVisible only sheets
    // with a tab count. nullptr when there is none.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    // Activates the next (previous) sheet with a tab, asking OnChanging and firing OnChange.
    void SelectNextPage(bool goForward);
    // Activates page as a click on its tab does, asking OnChanging and firing OnChange; false
    // when the change was refused.
    bool SelectPage(TTabSheet* page);

    // Where the sheets go, in client coordinates.
    desktop::RECT DisplayRect();

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    // Fired after the user changed the page (tab click, keys).
    TNotifyEvent OnChange;
    // Asked before the user changes the page; false keeps the current one.
    std::function<void(TObject* sender, bool& allowChange)> OnChanging;

protected:
    virtual bool CanChange();
    virtual void Change();
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void CNNotify(TWMNotify message) override;
    void CMDialogKey(TCMDialogKey message) override;
    void CMFontChanged(TWMNoParams message) override;
    void WMSize(TWMSize message) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void ChangeActivePage(TTabSheet* page);
    // The tab control's items follow the sheets (captions, visibility, order).
    void UpdateTabs();
    void SelectTab(int tabIndex);
    void PlaceSheets();
    bool FocusInside();
    TTabSheet* PageForTab(int tabIndex) const;

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    bool destroying_ = false;
};

}  // namespace fw
