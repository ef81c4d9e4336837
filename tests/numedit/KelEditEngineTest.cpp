#include <gtest/gtest.h>

#include <vector>

#include "KelEditTestSupport.h"
#include "desktop/Controls.h"
#include "desktop/Types.h"

namespace numedit::testing {
namespace {

using desktop::VK_DELETE;
using desktop::VK_END;
using desktop::VK_HOME;
using desktop::VK_INSERT;
using desktop::VK_LEFT;
using desktop::VK_RIGHT;

// Records the key the framework's handling sees after the edit's key handler.
class KeyEdit : public TKelCustomEdit {
public:
    using TKelCustomEdit::TKelCustomEdit;
    std::vector<desktop::WORD> seen;

protected:
    void KeyDown(desktop::WORD& key, fw::TShiftState shift) override
    {
        const bool modifier = key == desktop::VK_SHIFT || key == desktop::VK_CONTROL || key == desktop::VK_MENU;
        TKelCustomEdit::KeyDown(key, shift);
        if (!modifier) {
            seen.push_back(key);
        }
    }
};

using KelEditSelection = EditTest;

TEST_F(KelEditSelection, ShiftArrowsGrowAndShrinkFromTheDerivedAnchor)
{
    edit_->SetText("12345");
    for (int i = 0; i < 3; ++i) {
        Key(VK_RIGHT, true);
    }
    EXPECT_EQ(edit_->SelStart(), 1);
    EXPECT_EQ(edit_->SelLength(), 3);
    EXPECT_EQ(edit_->CaretIndex(), 4);
    Key(VK_LEFT, true);
    EXPECT_EQ(edit_->SelText(), "12");
    EXPECT_EQ(edit_->CaretIndex(), 3);
    // A plain move collapses the selection at the caret.
    Key(VK_RIGHT);
    EXPECT_EQ(edit_->SelLength(), 0);
    EXPECT_EQ(edit_->SelStart(), 4);
    Key(VK_HOME, true);
    EXPECT_EQ(edit_->SelStart(), 1);
    EXPECT_EQ(edit_->SelText(), "123");
    EXPECT_EQ(edit_->CaretIndex(), 1);
}

TEST_F(KelEditSelection, CaretJumpingPastTheEndOfASelectionMadeLeftwardsKeepsOnlyTheNewSpan)
{
    edit_->SetText("abcdef");
    edit_->SetCaretIndex(4);
    Key(VK_LEFT, true);
    Key(VK_LEFT, true);  // caret 2, selection "bc" anchored at 4
    ASSERT_EQ(edit_->SelText(), "bc");
    Key(VK_END, true);
    EXPECT_EQ(edit_->SelStart(), 4);
    EXPECT_EQ(edit_->SelText(), "def");
}

TEST_F(KelEditSelection, WordMovesStopInFrontOfDelimiters)
{
    edit_->SetText("ab cd");
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(edit_->CaretIndex(), 3);
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(edit_->CaretIndex(), 6);
    Key(VK_LEFT, false, true);
    EXPECT_EQ(edit_->CaretIndex(), 3);
}

TEST_F(KelEditSelection, SelectWordAtCaretTakesTheWordAroundTheCaret)
{
    edit_->SetText("ab cd");
    edit_->SetCaretIndex(2);
    edit_->SelectWordAtCaret();
    EXPECT_EQ(edit_->SelText(), "ab");
    edit_->SetCaretIndex(5);
    edit_->SelectWordAtCaret();
    EXPECT_EQ(edit_->SelText(), "cd");
    // The backward scan never looks at index 1: a leading delimiter joins the word.
    edit_->SetText(" ab");
    edit_->SetCaretIndex(3);
    edit_->SelectWordAtCaret();
    EXPECT_EQ(edit_->SelText(), " ab");
}

TEST_F(KelEditSelection, DoubleClickSelectsTheWord)
{
    edit_->SetText("ab cd");
    Pump();
    desktop::headless::DoubleClick(At(XBefore(5), 8));
    Pump();
    EXPECT_EQ(edit_->SelText(), "cd");
    desktop::headless::DoubleClick(At(XBefore(2), 8));
    Pump();
    EXPECT_EQ(edit_->SelText(), "ab");
}

TEST_F(KelEditSelection, EmptyFieldIgnoresMovesAndDeletions)
{
    for (desktop::WORD vk : {desktop::VK_BACK, VK_DELETE, VK_LEFT, VK_HOME, desktop::VK_ESCAPE, VK_RIGHT}) {
        Key(vk);
        EXPECT_EQ(edit_->RawText(), "");
        EXPECT_EQ(edit_->CaretIndex(), 1);
        EXPECT_EQ(edit_->SelLength(), 0);
    }
    edit_->SelectAll();
    EXPECT_EQ(edit_->SelLength(), 0);
    EXPECT_FALSE(edit_->Modified());
}

TEST_F(KelEditSelection, GetSelOnAFullySelectedFieldReportsZeroBasedBounds)
{
    edit_->SetText("0,00");
    edit_->SelectAll();
    desktop::DWORD start = 99;
    desktop::DWORD end = 99;
    const auto result = edit_->Perform(desktop::EM_GETSEL, fw::PointerToWParam(&start), fw::PointerToLParam(&end));
    EXPECT_EQ(desktop::LOWORD(static_cast<std::uintptr_t>(result)), 0);
    EXPECT_EQ(desktop::HIWORD(static_cast<std::uintptr_t>(result)), 4);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u);
    edit_->Perform(desktop::EM_SETSEL, 1, 3);
    EXPECT_EQ(edit_->SelText(), ",0");
    edit_->Perform(desktop::EM_SETSEL, static_cast<desktop::WPARAM>(-1), 0);
    EXPECT_EQ(edit_->SelLength(), 0);
}

using KelEditEditing = EditTest;

TEST_F(KelEditEditing, MaxLengthDropsAnInsertionWholeAfterTheDeletion)
{
    int changes = 0;
    edit_->OnChange = [&](fw::TObject*) { ++changes; };
    edit_->SetMaxLength(4);
    edit_->SetText("abcdef");
    EXPECT_EQ(edit_->RawText(), "abcd");  // assignment cuts
    edit_->SelectAll();
    Type("x");
    EXPECT_EQ(edit_->RawText(), "x");
    EXPECT_EQ(edit_->CaretIndex(), 2);

    edit_->SetText("abcd");
    Key(VK_END);
    const int records = edit_->UndoStack().Count();
    changes = 0;
    Type("e");
    EXPECT_EQ(edit_->RawText(), "abcd");
    EXPECT_EQ(edit_->CaretIndex(), 5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit_->UndoStack().Count(), records + 1);

    // A paste longer than the room left removes the selection only.
    SetClipboard("xyz");
    Select(2, 2);
    Key('V', false, true);
    EXPECT_EQ(edit_->RawText(), "ad");
}

TEST_F(KelEditEditing, OverwriteModeIsSharedByEveryEngineEdit)
{
    auto* other = NewChild<TKelCustomEdit>(10, 40);
    other->SetText("abcd");
    edit_->SetText("abcd");
    Key(VK_INSERT);
    EXPECT_FALSE(KelApplication().InsertMode());
    Type("x");
    EXPECT_EQ(edit_->RawText(), "xbcd");
    EXPECT_EQ(edit_->CaretIndex(), 2);
    // The other edit overwrites too, and at the end nothing is replaced.
    other->SetFocus();
    Pump();
    Type("y");
    EXPECT_EQ(other->RawText(), "ybcd");
    Key(VK_END);
    Type("z");
    EXPECT_EQ(other->RawText(), "ybcdz");
    Key(VK_INSERT);
    Key(VK_HOME);
    Type("w");
    EXPECT_EQ(other->RawText(), "wybcdz");
}

TEST_F(KelEditEditing, UndoAfterAnOverwriteRemovesTheTypedCharacterOnly)
{
    edit_->SetText("abcd");
    Key(VK_INSERT);
    Type("x");
    ASSERT_EQ(edit_->RawText(), "xbcd");
    Key(VK_INSERT);
    edit_->Undo();
    EXPECT_EQ(edit_->RawText(), "bcd");
    EXPECT_EQ(edit_->CaretIndex(), 1);
    EXPECT_FALSE(edit_->CanUndo());
    edit_->Undo();  // empty stack: nothing
    EXPECT_EQ(edit_->RawText(), "bcd");
}

TEST_F(KelEditEditing, UndoRestoresTheReplacedTextSelected)
{
    edit_->SetText("hello");
    Select(2, 3);
    Type("a");
    ASSERT_EQ(edit_->RawText(), "hao");
    edit_->Undo();
    EXPECT_EQ(edit_->RawText(), "hello");
    EXPECT_EQ(edit_->SelStart(), 2);
    EXPECT_EQ(edit_->SelText(), "ell");
    // Assigning text keeps the history; undo replays against the new text.
    Type("Z");
    edit_->SetText("123456");
    EXPECT_EQ(edit_->UndoStack().Count(), 1);
    edit_->Undo();
    EXPECT_EQ(edit_->RawText(), "1ell3456");
}

TEST_F(KelEditEditing, DeleteAtTheEndStillCountsAsAnEdit)
{
    edit_->SetText("abc");
    int changedAt = 0;
    int changes = 0;
    int modified = 0;
    edit_->OnTextChangedAt = [&](fw::TObject*, int at) { changedAt = at; };
    edit_->OnChange = [&](fw::TObject*) { ++changes; };
    edit_->OnModified = [&](fw::TObject*) { ++modified; };
    Key(VK_END);
    Key(VK_DELETE);
    EXPECT_EQ(edit_->RawText(), "abc");
    EXPECT_TRUE(edit_->Modified());
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changedAt, 4);
    EXPECT_EQ(edit_->UndoStack().Count(), 1);
}

TEST_F(KelEditEditing, ReadOnlyRefusesEditsWithoutEvents)
{
    edit_->SetText("abc");
    edit_->SetReadOnly(true);
    int changes = 0;
    edit_->OnChange = [&](fw::TObject*) { ++changes; };
    Type("x");
    Key(desktop::VK_BACK);
    edit_->SelectAll();
    Key('X', false, true);  // copies, leaves the text
    EXPECT_EQ(edit_->RawText(), "abc");
    EXPECT_EQ(Clipboard(), "abc");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(edit_->UndoStack().Count(), 0);
}

TEST_F(KelEditEditing, CharCaseConvertsTypedLetters)
{
    edit_->SetCharCase(TKelCharCase::ecUpperCase);
    Type("ab\xe9");
    EXPECT_EQ(edit_->RawText(), "AB\xc9");
}

using KelEditClipboard = EditTest;

TEST_F(KelEditClipboard, CtrlLettersZeroTheKeyAndInsertAndDeleteChordsDoNot)
{
    auto* edit = NewChild<KeyEdit>(10, 40);
    edit->SetFocus();
    Pump();
    edit->SetText("hello");
    Key('A', false, true);
    EXPECT_EQ(edit->SelText(), "hello");
    Key('C', false, true);
    EXPECT_EQ(Clipboard(), "hello");
    Key(VK_END);
    Key('V', false, true);
    EXPECT_EQ(edit->RawText(), "hellohello");
    edit->SelectAll();
    Key('X', false, true);
    EXPECT_EQ(edit->RawText(), "");
    ASSERT_EQ(edit->seen.size(), 5u);
    EXPECT_EQ(edit->seen[0], 0);
    EXPECT_EQ(edit->seen[1], 0);
    EXPECT_EQ(edit->seen[3], 0);
    EXPECT_EQ(edit->seen[4], 0);

    edit->seen.clear();
    Key(VK_INSERT, true);  // paste
    EXPECT_EQ(edit->RawText(), "hellohello");
    edit->SelectAll();
    SetClipboard("");
    Key(VK_INSERT, false, true);  // copy
    EXPECT_EQ(Clipboard(), "hellohello");
    Key(VK_DELETE, true);  // cut
    EXPECT_EQ(edit->RawText(), "");
    EXPECT_EQ(edit->seen, (std::vector<desktop::WORD>{VK_INSERT, VK_INSERT, VK_DELETE}));
}

TEST_F(KelEditClipboard, PasswordCharBlocksCutCopyAndPaste)
{
    edit_->SetText("1234");
    edit_->Perform(desktop::EM_SETPASSWORDCHAR, '*', 0);
    EXPECT_EQ(edit_->DisplayText(), "****");
    EXPECT_EQ(edit_->Perform(desktop::EM_GETPASSWORDCHAR, 0, 0), '*');
    SetClipboard("zz");
    edit_->SelectAll();
    Key('C', false, true);
    EXPECT_EQ(Clipboard(), "zz");
    Key('X', false, true);
    Key('V', false, true);
    edit_->RunMenuCommand(kmiPaste);
    EXPECT_EQ(edit_->RawText(), "1234");
}

using KelEditFocus = EditTest;

TEST_F(KelEditFocus, AutoSelectOnTabButNotOnAClick)
{
    auto* second = NewChild<TKelCustomEdit>(10, 40);
    auto* third = NewChild<TKelCustomEdit>(10, 70);
    for (auto* e : {second, third}) {
        e->SetAutoSelect(true);
        e->SetText("123");
    }
    edit_->SetFocus();
    Pump();
    Key(desktop::VK_TAB);
    ASSERT_TRUE(second->Focused());
    EXPECT_EQ(second->SelLength(), 3);
    desktop::headless::Click(third->ClientToScreen({3, 8}));
    Pump();
    ASSERT_TRUE(third->Focused());
    EXPECT_EQ(third->SelLength(), 0);
    EXPECT_EQ(third->CaretIndex(), 1);
}

TEST_F(KelEditFocus, AfterEnterAndAfterExitFireOnceTheFocusHasMoved)
{
    auto* other = NewChild<TKelCustomEdit>(10, 40);
    std::vector<std::string> log;
    other->OnAfterEnter = [&](fw::TObject*) { log.push_back(other->Focused() ? "enter focused" : "enter"); };
    other->OnAfterExit = [&](fw::TObject*) { log.push_back(other->Focused() ? "exit focused" : "exit"); };
    other->SetFocus();
    EXPECT_TRUE(log.empty());
    Pump();
    edit_->SetFocus();
    Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"enter focused", "exit"}));
}

using KelEditMouse = EditTest;

TEST_F(KelEditMouse, DraggingASelectionMovesIt)
{
    edit_->SetText("ab cd");
    Select(1, 2);
    Pump();
    const int y = 8;
    desktop::headless::MoveMouse(At(XBefore(2), y));
    desktop::headless::MouseDown();
    Pump();
    EXPECT_TRUE(edit_->DraggingSelection());
    desktop::headless::MoveMouse(At(XBefore(6) + 3, y));
    Pump();
    desktop::headless::MouseUp();
    Pump();
    EXPECT_FALSE(edit_->DraggingSelection());
    EXPECT_EQ(edit_->RawText(), " cdab");
    EXPECT_EQ(edit_->CaretIndex(), 4);
    EXPECT_EQ(edit_->SelLength(), 0);
    // A delete and an insert.
    EXPECT_EQ(edit_->UndoStack().Count(), 2);
}

TEST_F(KelEditMouse, DroppingInsideTheSelectionOnlyDeselects)
{
    edit_->SetText("abcdef");
    Select(2, 4);
    Pump();
    desktop::headless::MoveMouse(At(XBefore(3), 8));
    desktop::headless::MouseDown();
    Pump();
    desktop::headless::MoveMouse(At(XBefore(4), 8));
    Pump();
    desktop::headless::MouseUp();
    Pump();
    EXPECT_EQ(edit_->RawText(), "abcdef");
    EXPECT_EQ(edit_->SelLength(), 0);
    EXPECT_EQ(edit_->SelStart(), edit_->CaretIndex());
}

TEST_F(KelEditMouse, ClicksPlaceTheCaretByCharacterHalves)
{
    edit_->SetText("WWW");
    Pump();
    const int w = edit_->PrefixWidth(1);
    desktop::headless::MoveMouse(At(XBefore(2) + w / 2 + 1, 8));
    desktop::headless::Click(At(XBefore(2) + w / 2 + 1, 8));
    Pump();
    EXPECT_EQ(edit_->CaretIndex(), 3);
    desktop::headless::MoveMouse(At(XBefore(2) + 1, 8));
    desktop::headless::Click(At(XBefore(2) + 1, 8));
    Pump();
    EXPECT_EQ(edit_->CaretIndex(), 2);
    EXPECT_EQ(edit_->CharIndexAtX(-5), 1);
    EXPECT_EQ(edit_->CharIndexAtX(500), 4);
}

TEST_F(KelEditMouse, HoldingTheButtonBeyondTheEdgeKeepsScrollingAndSelecting)
{
    edit_->SetText(std::string(30, 'W'));
    Pump();
    desktop::headless::MoveMouse(At(XBefore(2), 8));
    desktop::headless::MouseDown();
    Pump();
    ASSERT_EQ(edit_->CaretIndex(), 2);
    desktop::headless::MoveMouse(At(edit_->Width() + 20, 8));
    Pump();
    // The repeat keeps tracking the last mouse position until the end is reached.
    EXPECT_TRUE(desktop::headless::PumpUntil([&] { return edit_->CaretIndex() == 31; }, 60000));
    desktop::headless::MouseUp();
    Pump();
    EXPECT_EQ(edit_->SelStart(), 2);
    EXPECT_EQ(edit_->SelLength(), 29);
    EXPECT_GT(edit_->ScrollOffset(), 0);
}

TEST_F(KelEditMouse, EnterWithTabOnEnterMovesTheFocusOn)
{
    auto* next = NewChild<TKelCustomEdit>(10, 40);
    Key(desktop::VK_RETURN);
    EXPECT_TRUE(edit_->Focused());
    edit_->SetTabOnEnter(true);
    Key(desktop::VK_RETURN, false, true);
    EXPECT_TRUE(edit_->Focused());
    Key(desktop::VK_RETURN);
    EXPECT_TRUE(next->Focused());
}

using KelEditMenu = EditTest;

std::vector<std::pair<std::string, bool>> MenuItems(desktop::HMENU menu)
{
    std::vector<std::pair<std::string, bool>> items;
    for (int i = 0; i < desktop::GetMenuItemCount(menu); ++i) {
        const desktop::UINT state = desktop::GetMenuState(menu, static_cast<desktop::UINT>(i), desktop::MF_BYPOSITION);
        const bool separator = (state & desktop::MF_SEPARATOR) != 0;
        items.emplace_back(
            separator ? "-" : desktop::GetMenuString(menu, static_cast<desktop::UINT>(i), desktop::MF_BYPOSITION),
            (state & (desktop::MF_GRAYED | desktop::MF_DISABLED)) == 0);
    }
    desktop::DestroyMenu(menu);
    return items;
}

TEST_F(KelEditMenu, ItemsAndTheirEnabledStatesFollowTheEdit)
{
    SetClipboard("");
    desktop::OpenClipboard(nullptr);
    desktop::EmptyClipboard();
    desktop::CloseClipboard();
    using Items = std::vector<std::pair<std::string, bool>>;
    // A new edit offers undo although its history is empty.
    EXPECT_EQ(MenuItems(edit_->BuildContextMenu()), (Items{{"&Undo", true},
                                                           {"-", true},
                                                           {"&Cut", false},
                                                           {"&Copy", false},
                                                           {"&Paste", false},
                                                           {"&Delete", false},
                                                           {"-", true},
                                                           {"Select all", false}}));
    edit_->SetText("abc");
    Select(1, 2);
    SetClipboard("q");
    edit_->ClearUndo();
    Items items = MenuItems(edit_->BuildContextMenu());
    EXPECT_EQ(items[0], (std::pair<std::string, bool>{"&Undo", false}));
    for (int i : {2, 3, 4, 5, 7}) {
        EXPECT_TRUE(items[static_cast<std::size_t>(i)].second) << items[static_cast<std::size_t>(i)].first;
    }
    edit_->SetReadOnly(true);
    items = MenuItems(edit_->BuildContextMenu());
    EXPECT_FALSE(items[2].second);  // cut
    EXPECT_TRUE(items[3].second);   // copy
    EXPECT_FALSE(items[4].second);  // paste
}

TEST_F(KelEditMenu, ARightClickShowsTheMenuAndRunsTheChosenItem)
{
    edit_->SetText("abc");
    Key(VK_END);
    Type("d");
    ASSERT_EQ(edit_->RawText(), "abcd");
    // The menu's own loop takes the key that follows the click: the mnemonic of "&Undo".
    desktop::headless::Click(At(5, 6), desktop::MouseButton::Right);
    desktop::headless::PressKey('U');
    Pump();
    EXPECT_EQ(desktop::GetOpenPopupMenuWindow(), nullptr);
    EXPECT_EQ(edit_->RawText(), "abc");
    // Suppressed by the option: Escape then reaches the edit, which drops its selection
    // (a menu would have taken it).
    edit_->SetOptions(eoSuppressDefaultMenu);
    edit_->SelectAll();
    desktop::headless::Click(At(5, 6), desktop::MouseButton::Right);
    desktop::headless::PressKey(desktop::VK_ESCAPE);
    Pump();
    EXPECT_EQ(edit_->SelLength(), 0);
}

TEST_F(KelEditMenu, ContextPopupHandlerSeesTheScreenPointAndCanSuppressTheMenu)
{
    desktop::POINT seen{};
    edit_->OnContextPopup = [&](fw::TObject*, desktop::POINT p, bool& handled) {
        seen = p;
        handled = true;
    };
    desktop::headless::Click(At(5, 6), desktop::MouseButton::Right);
    Pump();
    EXPECT_EQ(seen.x, At(5, 6).x);
    EXPECT_EQ(seen.y, At(5, 6).y);
    EXPECT_EQ(desktop::GetOpenPopupMenuWindow(), nullptr);
}

}  // namespace
}  // namespace numedit::testing

namespace numedit::testing {
namespace {

using KelEditProperties = EditTest;

// Sets an ordinal property by its dotted name, as the layout reader does.
void SetByName(fw::TObject* object, const std::string& path, std::int64_t value)
{
    const std::size_t dot = path.find('.');
    const fw::PropertyInfo* prop = object->ClassInfo().FindProperty(path.substr(0, dot));
    ASSERT_NE(prop, nullptr) << path;
    if (dot == std::string::npos) {
        prop->setOrdinal(object, value);
        return;
    }
    ASSERT_EQ(prop->kind, fw::PropertyKind::Object) << path;
    SetByName(prop->getObject(object), path.substr(dot + 1), value);
}

TEST_F(KelEditProperties, DefaultsOfANewEdit)
{
    auto* edit = new TKelCustomEdit(form_);
    EXPECT_EQ(edit->Height(), 21);
    EXPECT_EQ(edit->Cursor(), fw::crIBeam);
    EXPECT_EQ(edit->Color(), fw::clWindow);
    EXPECT_TRUE(edit->TabStop());
    EXPECT_TRUE(edit->HideSelection());
    EXPECT_TRUE(edit->CanUndo());
    EXPECT_TRUE(edit->SelectAllGoesToEnd());
    EXPECT_EQ(edit->MaxLength(), 0);
    EXPECT_EQ(edit->Bevel()->Mode(), TKelBevelMode::bmWindows);
    EXPECT_TRUE(edit->Bevel()->SystemBorder());
    EXPECT_EQ(edit->CustomButtonWidth(), 16);
    EXPECT_EQ(edit->CustomButtons()->Count(), 0);
    EXPECT_EQ(edit->Font3D()->Style(), TKel3DStyle::tdNone);
    EXPECT_TRUE(edit->WordDelimiters()[' ']);
    EXPECT_EQ(edit->WordDelimiters().count(), 1u);
    EXPECT_FALSE(edit->HasStyle(fw::csAcceptsControls));
    EXPECT_FALSE(edit->HasStyle(fw::csSetCaption));
}

TEST_F(KelEditProperties, TheStoredLayoutsPropertiesAreSetByName)
{
    auto* edit = new TKelCustomEdit(form_);
    SetByName(edit, "Caret.BlinkRate", 530);
    SetByName(edit, "AutoSelect", 1);
    SetByName(edit, "MaxLength", 4);
    SetByName(edit, "Bevel.Mode", static_cast<int>(TKelBevelMode::bmStandard));
    EXPECT_EQ(edit->Caret()->BlinkRate(), 530);
    EXPECT_TRUE(edit->AutoSelect());
    EXPECT_EQ(edit->MaxLength(), 4);
    EXPECT_EQ(edit->Bevel()->Mode(), TKelBevelMode::bmStandard);
    const fw::PropertyInfo* buttons = edit->ClassInfo().FindProperty("CustomButtons");
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->getObject(edit), edit->CustomButtons());
}

TEST_F(KelEditProperties, UpdateCounterHoldsBackPaintingAndEvents)
{
    int changes = 0;
    edit_->OnChange = [&](fw::TObject*) { ++changes; };
    edit_->BeginUpdate();
    edit_->BeginUpdate();
    Type("ab");
    EXPECT_EQ(edit_->RawText(), "ab");
    EXPECT_EQ(changes, 0);
    edit_->EndUpdate(true);
    EXPECT_TRUE(edit_->Updating());
    edit_->EndUpdate(true);
    edit_->EndUpdate(true);  // never below zero
    EXPECT_EQ(edit_->UpdateCount(), 0);
    Type("c");
    EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace numedit::testing

namespace numedit::testing {
namespace {

using KelEditWithoutWindow = WindowTest;

TEST_F(KelEditWithoutWindow, TheTextModelWorksBeforeThereIsAWindow)
{
    TKelCustomEdit edit(nullptr);
    edit.SetText("hello world");
    edit.SetCaretIndex(7);
    edit.SelectWordAtCaret();
    EXPECT_EQ(edit.SelText(), "world");
    edit.ReplaceSelection("there");
    EXPECT_EQ(edit.RawText(), "hello there");
    EXPECT_EQ(edit.CaretIndex(), 12);
    edit.Undo();
    EXPECT_EQ(edit.RawText(), "hello world");
    EXPECT_FALSE(edit.HandleAllocated());
    EXPECT_GT(edit.PrefixWidth(5), 0);
    EXPECT_EQ(edit.CharIndexAtX(-3), 1);
}

}  // namespace
}  // namespace numedit::testing
