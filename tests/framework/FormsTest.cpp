// The application object, its loop and exception report, forms' life cycle, modal runs and
// the scaling of a layout on load.

#include "FormsTestSupport.h"
#include "TextMeasure.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "desktop/Input.h"
#include "desktop/Locale.h"
#include "framework/SysUtils.h"

namespace forms_test {
namespace {

using desktop::MessageBoxInfo;

TEST(ApplicationTitleTest, FileNameCutAtTheFirstDotAndLowerCasedAfterTheFirstCharacter)
{
    EXPECT_EQ(TApplication::TitleFromExeName("C:\\Tools\\ExPeRiMent.Two.exe"), "Experiment");
    EXPECT_EQ(TApplication::TitleFromExeName("a.exe"), "a");
    EXPECT_EQ(TApplication::TitleFromExeName("D:\\Apps\\MiXeD"), "Mixed");
    EXPECT_EQ(TApplication::TitleFromExeName("/usr/local/bin/DiceExperiment"), "Diceexperiment");
    EXPECT_EQ(TApplication::TitleFromExeName("/opt/x.y/Run.Me\\Now.bin"), "Now");
    EXPECT_EQ(TApplication::TitleFromExeName("C:\\\xC9T\xC9.exe"), "\xC9t\xE9");  // code page 1252 letters
    EXPECT_EQ(TApplication::TitleFromExeName(""), "");
}

class ApplicationTest : public FormsTest {};

TEST_F(ApplicationTest, TitleComesFromTheExecutableAndLivesInTheApplicationWindow)
{
    app.reset();
    app = std::make_unique<TApplication>();
    EXPECT_EQ(app->Title(), "framework_tests");  // the first character keeps its case
    app->SetTitle("Dados");
    EXPECT_EQ(desktop::GetWindowText(app->Handle()), "Dados");
    EXPECT_EQ(desktop::GetClassName(app->Handle()), "TApplication");
    EXPECT_FALSE(desktop::IsWindowVisible(app->Handle()));
}

TEST_F(ApplicationTest, ExceptionInAClickHandlerIsShownAndTheLoopGoesOn)
{
    TForm* form = ShownForm();
    auto* box = Add<TTestBox>(form, {10, 10, 60, 40});
    std::string message;
    box->OnClick = [&](TObject*) { throw Exception(message); };

    struct Case {
        std::string raised;
        std::string shown;
    };
    const std::vector<Case> cases{
        {"Boom", "Boom."}, {"Done.", "Done."}, {"Stop!", "Stop!"}, {"Why?", "Why?."}, {"Range 1-", "Range 1-"},
    };
    int x = 5;
    for (const Case& c : cases) {
        message = c.raised;
        MessageBoxInfo info;
        bool formEnabled = true;
        x = 50 - x;  // alternate, so that two clicks never make a double click
        desktop::headless::Click(OnScreen(box, {x, 15}));
        FromInsideTheLoop([&] {
            ASSERT_TRUE(desktop::GetMessageBoxInfo(desktop::GetOpenMessageBox(), &info));
            formEnabled = desktop::IsWindowEnabled(form->Handle());
            desktop::headless::PressKey(desktop::VK_RETURN);
        });
        app->ProcessMessages();
        EXPECT_EQ(info.text, c.shown);
        EXPECT_EQ(info.caption, "Experiment");
        EXPECT_EQ(info.owner, app->Handle());
        EXPECT_EQ(info.icon, desktop::MessageBoxIcon::Error);
        ASSERT_EQ(info.buttons.size(), 1u);
        EXPECT_EQ(info.buttons[0].id, desktop::IDOK);
        EXPECT_FALSE(formEnabled);
        EXPECT_EQ(desktop::GetOpenMessageBox(), nullptr);
        EXPECT_TRUE(desktop::IsWindowEnabled(form->Handle()));
        EXPECT_EQ(desktop::GetActiveWindow(), form->Handle());
    }
}

TEST_F(ApplicationTest, AbortIsSilentAndOnExceptionReplacesTheBox)
{
    TForm* form = ShownForm();
    auto* box = Add<TTestBox>(form, {10, 10, 60, 40});
    box->OnClick = [](TObject*) { Abort(); };
    bool boxShown = true;
    desktop::headless::Click(CentreOf(box));
    FromInsideTheLoop([&] { boxShown = desktop::GetOpenMessageBox() != nullptr; });
    app->ProcessMessages();
    EXPECT_FALSE(boxShown);

    std::vector<std::string> reported;
    TObject* reportedSender = nullptr;
    std::string workerBox;
    FromInsideTheLoop([&] {
        desktop::MessageBoxInfo info;
        if (desktop::GetMessageBoxInfo(desktop::GetOpenMessageBox(), &info)) workerBox = info.text;
        desktop::headless::PressKey(desktop::VK_RETURN);
    });
    ApplicationShowException(nullptr, Exception("from a worker"));  // the hook lower layers use
    EXPECT_EQ(workerBox, "from a worker.");
    app->OnException = [&](TObject* sender, const Exception& error) {
        reportedSender = sender;
        reported.push_back(error.Message());
    };
    box->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    desktop::headless::Click(OnScreen(box, {5, 5}));  // away from the first click: no double click
    app->ProcessMessages();
    EXPECT_EQ(reported, std::vector<std::string>{"'x' is not a valid integer value"});
    EXPECT_EQ(reportedSender, box);
    ApplicationShowException(box, Exception("from a worker"));
    EXPECT_EQ(reported.back(), "from a worker");
}

TEST_F(ApplicationTest, MessageBoxReenablesExactlyTheWindowsItDisabled)
{
    TForm* first = ShownForm();
    TForm* second = ShownForm({450, 100, 650, 300});
    TForm* disabled = ShownForm({100, 400, 300, 500});
    disabled->SetEnabled(false);
    first->SetFocus();
    app->ProcessMessages();
    std::vector<bool> enabledDuring;
    FromInsideTheLoop([&] {
        for (TForm* form : {first, second}) {
            enabledDuring.push_back(desktop::IsWindowEnabled(form->Handle()));
        }
        desktop::headless::PressKey(desktop::VK_ESCAPE);
    });
    EXPECT_EQ(app->MessageBox("Sure?", "Question", desktop::MB_OKCANCEL), desktop::IDCANCEL);
    EXPECT_EQ(enabledDuring, (std::vector<bool>{false, false}));
    EXPECT_TRUE(desktop::IsWindowEnabled(first->Handle()));
    EXPECT_TRUE(desktop::IsWindowEnabled(second->Handle()));
    EXPECT_FALSE(desktop::IsWindowEnabled(disabled->Handle()));
    EXPECT_EQ(desktop::GetActiveWindow(), first->Handle());
}

// Counts constructions and destructions; its creation reads no layout.
class TRecordingForm : public TForm {
public:
    explicit TRecordingForm(TComponent* owner) : TForm(owner, CreateNew)
    {
        sawItselfInReference = reference != nullptr && *reference == this;
        if (failConstruction) {
            throw EInvalidOperation("no form today");
        }
        ++alive;
    }
    ~TRecordingForm() override { --alive; }

    static inline TRecordingForm** reference = nullptr;
    static inline bool failConstruction = false;
    static inline int alive = 0;
    bool sawItselfInReference = false;
};

class ApplicationRunTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        TRecordingForm::alive = 0;
        TRecordingForm::failConstruction = false;
    }
};

TEST_F(ApplicationRunTest, FirstCreatedFormIsTheMainFormAndClosingItEndsRun)
{
    TRecordingForm* form1 = nullptr;
    TRecordingForm* form2 = nullptr;
    TRecordingForm::reference = &form1;
    app->CreateForm(form1);
    TRecordingForm::reference = &form2;
    app->CreateForm(form2);
    ASSERT_NE(form1, nullptr);
    EXPECT_TRUE(form1->sawItselfInReference);
    EXPECT_TRUE(form2->sawItselfInReference);
    EXPECT_EQ(app->MainForm(), form1);
    EXPECT_TRUE(form1->HandleAllocated());
    EXPECT_FALSE(form2->HandleAllocated());

    int shows = 0;
    std::vector<std::string> destroyed;
    form1->OnShow = [&](TObject*) { ++shows; };
    form1->OnDestroy = [&](TObject*) { destroyed.push_back("form1"); };
    form2->OnDestroy = [&](TObject*) { destroyed.push_back("form2"); };
    form1->SetBounds(50, 50, 200, 150);
    bool visibleInLoop = false;
    FromInsideTheLoop([&] {
        visibleInLoop = desktop::IsWindowVisible(form1->Handle());
        desktop::InjectClose(form1->Handle());
    });
    app->Run();
    EXPECT_TRUE(visibleInLoop);
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(app->Running());
    EXPECT_EQ(TRecordingForm::alive, 2);  // forms live until the exit procedure

    EXPECT_FALSE(ApplicationShuttingDown());
    app.reset();
    EXPECT_TRUE(ApplicationShuttingDown());
    EXPECT_EQ(TRecordingForm::alive, 0);
    EXPECT_EQ(destroyed, (std::vector<std::string>{"form2", "form1"}));
}

TEST_F(ApplicationRunTest, FailedConstructionClearsTheReference)
{
    TRecordingForm* form = nullptr;
    TRecordingForm::reference = &form;
    TRecordingForm::failConstruction = true;
    EXPECT_THROW(app->CreateForm(form), EInvalidOperation);
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(app->MainForm(), nullptr);
    EXPECT_EQ(app->ComponentCount(), 0);
}

TEST_F(ApplicationRunTest, IdleWaitBlocksUntilTheNextMessage)
{
    TRecordingForm* form = nullptr;
    TRecordingForm::reference = nullptr;
    app->CreateForm(form);
    int idles = 0;
    app->OnIdle = [&](TObject*, bool&) { ++idles; };
    desktop::HWND window = form->Handle();
    constexpr int posts = 5;
    std::atomic<bool> started{false};
    std::thread worker([&] {
        while (!started) std::this_thread::yield();
        for (int i = 0; i < posts; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            desktop::PostMessage(window, desktop::WM_NULL, 0, 0);
        }
        desktop::PostMessage(window, desktop::WM_CLOSE, 0, 0);
    });
    const unsigned long wakesBefore = desktop::QueueWakeCount();
    FromInsideTheLoop([&] { started = true; });
    app->Run();
    worker.join();
    const unsigned long wakes = desktop::QueueWakeCount() - wakesBefore;
    // Each message wakes the loop once; a spinning loop would idle many thousand times.
    EXPECT_GE(wakes, 1u);
    EXPECT_LE(wakes, static_cast<unsigned long>(posts + 5));
    EXPECT_LE(idles, 3 * posts + 10);
}

TEST_F(ApplicationTest, ShowModalReturnsTheResultAHandlerSetAndEnablesTheOwnerAgain)
{
    TForm* owner = ShownForm();
    auto* dialog = NewForm<TForm>(app.get(), CreateNew);
    dialog->SetBounds(300, 200, 200, 120);
    auto* ok = Add<TTestBox>(dialog, {10, 10, 70, 35});
    ok->OnClick = [dialog](TObject*) { dialog->SetModalResult(mrOk); };
    bool ownerEnabledDuring = true;
    bool dialogVisibleDuring = false;
    int levelDuring = 0;
    FromInsideTheLoop([&] {
        ownerEnabledDuring = desktop::IsWindowEnabled(owner->Handle());
        dialogVisibleDuring = desktop::IsWindowVisible(dialog->Handle());
        levelDuring = app->ModalLevel();
        desktop::headless::Click(CentreOf(ok));
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(dialogVisibleDuring);
    EXPECT_EQ(levelDuring, 1);
    EXPECT_EQ(app->ModalLevel(), 0);
    EXPECT_TRUE(desktop::IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(desktop::GetActiveWindow(), owner->Handle());

    // Closing the dialog's window answers Cancel.
    FromInsideTheLoop([&] { desktop::InjectClose(dialog->Handle()); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_TRUE(desktop::IsWindowEnabled(owner->Handle()));
    EXPECT_THROW((dialog->Show(), dialog->ShowModal()), EInvalidOperation);
}

TEST_F(ApplicationTest, ClosingAFormThatIsNotTheMainFormHidesIt)
{
    TForm* main = ShownForm();
    ASSERT_EQ(app->MainForm(), nullptr);  // forms made with NewForm are not main forms
    TForm* other = ShownForm({450, 100, 650, 300});
    bool asked = false;
    other->OnCloseQuery = [&](TObject*, bool& canClose) {
        canClose = asked;
        asked = true;
    };
    desktop::InjectClose(other->Handle());
    app->ProcessMessages();
    EXPECT_TRUE(other->Visible());  // the first query refused
    desktop::InjectClose(other->Handle());
    app->ProcessMessages();
    EXPECT_FALSE(other->Visible());
    EXPECT_FALSE(app->Terminated());
    EXPECT_TRUE(main->Visible());
}

TEST_F(ApplicationTest, ControlsReachTheApplicationAndTheScreenOnlyWhileTheyExist)
{
    TMessage key{CN_KEYDOWN, desktop::VK_F4, 0, 0};
    app->OnShortCut = [](TWMKey message, bool& handled) { handled = message.CharCode() == desktop::VK_F4; };
    EXPECT_TRUE(ApplicationIsShortCut(TWMKey(key)));
    ASSERT_TRUE(ScreenCursorsAvailable());
    Screen()->SetCursor(crHourGlass);
    EXPECT_EQ(ScreenCursor(), crHourGlass);
    EXPECT_EQ(ScreenCursorHandle(crIBeam), desktop::IDC_IBEAM);

    app.reset();  // and with it the screen it made
    EXPECT_FALSE(ApplicationIsShortCut(TWMKey(key)));
    EXPECT_FALSE(ScreenCursorsAvailable());
}

TEST_F(ApplicationTest, ApplicationWindowCommandsAndActivationReachTheApplication)
{
    TForm* main = nullptr;
    app->CreateForm(main);
    main->Show();
    app->ProcessMessages();
    int minimized = 0;
    int restored = 0;
    std::vector<std::string> activation;
    app->OnMinimize = [&](TObject*) { ++minimized; };
    app->OnRestore = [&](TObject*) { ++restored; };
    app->OnActivate = [&](TObject*) { activation.push_back("activate"); };
    app->OnDeactivate = [&](TObject*) { activation.push_back("deactivate"); };

    // The low four bits of a system command are the system's own.
    desktop::SendMessage(app->Handle(), desktop::WM_SYSCOMMAND, desktop::SC_MINIMIZE | 2, 0);
    EXPECT_TRUE(desktop::IsIconic(main->Handle()));
    desktop::SendMessage(app->Handle(), desktop::WM_SYSCOMMAND, desktop::SC_RESTORE | 1, 0);
    EXPECT_FALSE(desktop::IsIconic(main->Handle()));
    EXPECT_EQ(minimized, 1);
    EXPECT_EQ(restored, 1);

    // Any form passes on that the program stopped or started being the active one.
    activation.clear();
    desktop::SendMessage(main->Handle(), desktop::WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(app->Active());
    desktop::SendMessage(main->Handle(), desktop::WM_ACTIVATEAPP, 1, 0);
    EXPECT_TRUE(app->Active());
    EXPECT_EQ(activation, (std::vector<std::string>{"deactivate", "activate"}));
}

class SettingChangeTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        desktop::SetLocaleOverride(desktop::LOCALE_SDECIMAL, ".");
        desktop::SetLocaleOverride(desktop::LOCALE_STHOUSAND, ",");
        GetFormatSettings();
    }
    void TearDown() override
    {
        desktop::ClearLocaleOverrides();
        DecimalSeparator = savedDecimal_;
        ThousandSeparator = savedThousand_;
        ApplicationTest::TearDown();
    }
    static void UserPicksSpanishFormat()
    {
        desktop::SetLocaleOverride(desktop::LOCALE_SDECIMAL, ",");
        desktop::SetLocaleOverride(desktop::LOCALE_STHOUSAND, ".");
    }
    static void SendSettingChange(desktop::HWND window)
    {
        static const char section[] = "intl";
        desktop::SendMessage(window, desktop::WM_SETTINGCHANGE, 0,
                             desktop::LPARAM(reinterpret_cast<std::intptr_t>(section)));
    }

private:
    char savedDecimal_ = DecimalSeparator;
    char savedThousand_ = ThousandSeparator;
};

TEST_F(SettingChangeTest, ApplicationWindowReReadsTheSeparators)
{
    TForm* form = ShownForm();
    UserPicksSpanishFormat();
    // Conversions keep the last reading until the system says the settings changed, and only
    // the application window acts on that.
    EXPECT_EQ(DecimalSeparator, '.');
    SendSettingChange(form->Handle());
    EXPECT_EQ(DecimalSeparator, '.');
    EXPECT_EQ(ThousandSeparator, ',');

    SendSettingChange(app->Handle());
    EXPECT_EQ(DecimalSeparator, ',');
    EXPECT_EQ(ThousandSeparator, '.');
    EXPECT_EQ(FloatToFormattedText(1.0L / 6, TFloatFormat::ffGeneral, 4, 0), "0,1667");
}

TEST_F(SettingChangeTest, LocaleChangeReachesTheHiddenApplicationWindow)
{
    ShownForm();
    UserPicksSpanishFormat();
    desktop::NotifyLocaleChange();
    EXPECT_EQ(DecimalSeparator, ',');
    EXPECT_EQ(ThousandSeparator, '.');
}

TEST_F(SettingChangeTest, UpdateFormatSettingsOffKeepsTheSeparators)
{
    EXPECT_TRUE(app->UpdateFormatSettings());
    app->SetUpdateFormatSettings(false);
    UserPicksSpanishFormat();
    SendSettingChange(app->Handle());
    EXPECT_EQ(DecimalSeparator, '.');
    EXPECT_EQ(ThousandSeparator, ',');

    app->SetUpdateFormatSettings(true);
    SendSettingChange(app->Handle());
    EXPECT_EQ(DecimalSeparator, ',');
}

// Forms whose layouts store a text height of 13 and of 26 on a 96 pixels-per-inch screen.
template <int TextHeight>
class TScaledForm : public TForm {
public:
    explicit TScaledForm(TComponent* owner) : TForm(owner) {}
    static const TClassInfo& Info()
    {
        static const TClassInfo info =
            ClassBuilder<TScaledForm, TForm>("TScaledForm" + std::to_string(TextHeight)).Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return Info(); }

    static void RegisterLayout()
    {
        RegisterClass(TTestBox::Info());
        RegisterClass(TTestPanel::Info());
        LayoutWriter()
            .Begin(Info().name, "ScaledForm")
            .Int("Left", 100)
            .Int("Top", 50)
            .Int("ClientWidth", 300)
            .Int("ClientHeight", 200)
            .Str("Caption", "Scaled")
            .Ident("Color", "clBtnFace")
            .Ident("ActiveControl", "Box2")
            .Int("PixelsPerInch", 96)
            .Int("TextHeight", TextHeight)
            .EndList()
            .Begin("TTestBox", "Box1")
            .Int("Left", 15)
            .Int("Top", 30)
            .Int("Width", 25)
            .Int("Height", 41)
            .Int("TabOrder", 1)
            .Ident("Color", "clLime")
            .EndList()
            .EndList()
            .Begin("TTestPanel", "Panel1")
            .Int("Left", 100)
            .Int("Top", 10)
            .Int("Width", 61)
            .Int("Height", 61)
            .Int("TabOrder", 0)
            .EndList()
            .Begin("TTestBox", "Box2")
            .Int("Left", 5)
            .Int("Top", 7)
            .Int("Width", 11)
            .Int("Height", 9)
            .EndList()
            .EndList()
            .EndList()
            .EndList()
            .Register(Info().name);
    }
};

RECT BoundsOf(TComponent* root, const std::string& name)
{
    auto* control = dynamic_cast<TControl*>(root->FindComponent(name));
    return control != nullptr ? control->BoundsRect() : RECT{};
}

class FormScalingTest : public FormsTest {};

TEST_F(FormScalingTest, MatchingTextHeightKeepsTheStoredLayout)
{
    TScaledForm<13>::RegisterLayout();
    auto* form = NewForm<TScaledForm<13>>(app.get());
    EXPECT_EQ(form->Name(), "ScaledForm");
    EXPECT_EQ(form->GetText(), "Scaled");
    EXPECT_EQ(form->MeasureTextHeight(), 13);
    EXPECT_EQ(form->PixelsPerInch(), 96);
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    EXPECT_EQ(BoundsOf(form, "Box1"), (RECT{15, 30, 40, 71}));
    EXPECT_EQ(BoundsOf(form, "Box2"), (RECT{5, 7, 16, 16}));
    EXPECT_EQ(BoundsOf(form, "Panel1"), (RECT{100, 10, 161, 71}));
    auto* box1 = dynamic_cast<TTestBox*>(form->FindComponent("Box1"));
    auto* box2 = dynamic_cast<TTestBox*>(form->FindComponent("Box2"));
    auto* panel = dynamic_cast<TTestPanel*>(form->FindComponent("Panel1"));
    ASSERT_NE(box2, nullptr);
    EXPECT_EQ(box1->Color(), clLime);
    EXPECT_EQ(box2->Parent(), panel);
    EXPECT_EQ(panel->TabOrder(), 0);  // stored tab order, not creation order
    EXPECT_EQ(box1->TabOrder(), 1);
    EXPECT_EQ(form->ActiveControl(), box2);

    form->Show();
    app->ProcessMessages();
    EXPECT_EQ(desktop::GetFocus(), box2->Handle());
    EXPECT_EQ(desktop::headless::ScreenColorAt(CentreOf(box1)), desktop::RGB(0, 255, 0));
}

TEST_F(FormScalingTest, DoubleStoredTextHeightHalvesPositionsAndSizesWithRounding)
{
    TScaledForm<26>::RegisterLayout();
    auto* form = NewForm<TScaledForm<26>>(app.get());
    EXPECT_EQ(BoundsOf(form, "Box1"), (RECT{8, 15, 8 + 13, 15 + 21}));    // 7.5, 12.5 and 20.5 round up
    EXPECT_EQ(BoundsOf(form, "Panel1"), (RECT{50, 5, 50 + 31, 5 + 31}));  // 30.5 rounds up
    EXPECT_EQ(BoundsOf(form, "Box2"), (RECT{3, 4, 3 + 6, 4 + 5}));        // nested children too
    EXPECT_EQ(form->ClientWidth(), 150);
    EXPECT_EQ(form->ClientHeight(), 100);
    EXPECT_EQ(form->Left(), 100);  // the form's own position is not scaled
}

TEST_F(FormScalingTest, TwiceTheScreenResolutionDoublesTheFontAndScalesByTheMeasuredTextHeight)
{
    app.reset();
    desktop::headless::Uninstall();
    desktop::headless::Install(desktop::SIZE{1024, 768}, 192);
    app = std::make_unique<TApplication>();
    ASSERT_EQ(Screen()->PixelsPerInch(), 192);

    TScaledForm<13>::RegisterLayout();
    auto* form = NewForm<TScaledForm<13>>(app.get());
    EXPECT_EQ(form->PixelsPerInch(), 192);
    EXPECT_EQ(form->Font()->GetHeight(), -22);
    // The layout grows with the text as this font really measures, not with the resolution.
    TFont font;
    font.SetHeight(-22);
    const int measured = MeasureText(font, "0").cy;
    ASSERT_GT(measured, 13);
    ASSERT_NE(measured, 26);
    const auto scaled = [measured](int stored) { return desktop::MulDiv(stored, measured, 13); };
    EXPECT_EQ(BoundsOf(form, "Box1"), (RECT{scaled(15), scaled(30), scaled(15) + scaled(25), scaled(30) + scaled(41)}));
    EXPECT_EQ(BoundsOf(form, "Box2"), (RECT{scaled(5), scaled(7), scaled(5) + scaled(11), scaled(7) + scaled(9)}));
    EXPECT_EQ(form->ClientWidth(), scaled(300));
    EXPECT_EQ(form->ClientHeight(), scaled(200));
    EXPECT_EQ(form->Left(), 100);
}

}  // namespace
}  // namespace forms_test
