// The family's small shared pieces: key state, undo history, text effects, custom buttons,
// and the sub-objects a stored layout sets by name.

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "NumEditTestSupport.h"
#include "framework/Classes.h"
#include "numedit/KelApplication.h"
#include "numedit/KelBevel.h"
#include "numedit/KelCaret.h"
#include "numedit/KelCustomButtons.h"
#include "numedit/KelFont3D.h"
#include "numedit/KelUndo.h"

namespace {

using namespace numedit;

TEST(KelApplication, KeyStateStartsInInsertModeAndReportsOnlyChanges)
{
    TKelApplication& app = KelApplication();
    EXPECT_EQ(&app, &KelApplication());
    EXPECT_EQ(app.KeyState(), ksInsert);
    int changes = 0;
    app.OnKeyStateChange = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, &app);
        ++changes;
    };

    app.SetModifiers(fw::ssShift | fw::ssCtrl | fw::ssLeft);
    EXPECT_EQ(app.KeyState(), ksInsert | ksShift | ksCtrl);
    app.SetModifiers(fw::ssCtrl | fw::ssShift);
    EXPECT_EQ(changes, 1);

    app.ToggleInsertMode();
    EXPECT_FALSE(app.InsertMode());
    app.SetModifiers(fw::ssAlt);  // modifiers leave the mode alone
    EXPECT_EQ(app.KeyState(), ksAlt);
    app.SetModifiers(0);
    app.ToggleInsertMode();
    EXPECT_EQ(app.KeyState(), ksInsert);
    EXPECT_EQ(changes, 5);
    app.OnKeyStateChange = nullptr;
}

std::unique_ptr<TKelUndoRecord> Record(std::string text, int selStart)
{
    auto record = std::make_unique<TKelUndoRecord>();
    record->NewText = std::move(text);
    record->NewLength = static_cast<std::int32_t>(record->NewText.size());
    record->SelStart = selStart;
    return record;
}

// Runs body on a thread with a 256 KiB stack.
void OnSmallStack(void (*body)())
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* arg) -> void* {
                      reinterpret_cast<void (*)()>(arg)();
                      return nullptr;
                  },
                  reinterpret_cast<void*>(body)),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

TEST(KelUndo, RecordsComeBackNewestFirstAndClearDisposesThemAll)
{
    TKelDynLIFOBuffer stack;
    EXPECT_TRUE(stack.Empty());
    EXPECT_EQ(stack.Pop(), nullptr);
    stack.Push(Record("a", 1));
    stack.Push(Record("bc", 2));
    stack.Push(Record("d", 4));
    EXPECT_EQ(stack.Count(), 3);
    EXPECT_EQ(stack.Top()->NewText, "d");

    auto newest = stack.Pop();
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->SelStart, 4);
    EXPECT_EQ(stack.Pop()->NewText, "bc");
    stack.Push(Record("e", 5));
    EXPECT_EQ(stack.Pop()->NewText, "e");
    EXPECT_EQ(stack.Pop()->NewText, "a");
    EXPECT_TRUE(stack.Empty());

    // No depth limit; a long history is cleared and destroyed without deep recursion, which
    // a small stack would not survive.
    OnSmallStack([] {
        TKelDynLIFOBuffer history;
        for (int i = 0; i < 50000; ++i) {
            history.Push(Record("x", i));
        }
        EXPECT_EQ(history.Count(), 50000);
        EXPECT_EQ(history.Top()->SelStart, 49999);
        history.Clear();
        EXPECT_TRUE(history.Empty());
        EXPECT_EQ(history.Count(), 0);
        EXPECT_EQ(history.Top(), nullptr);
        for (int i = 0; i < 50000; ++i) {
            history.Push(Record("y", i));  // left for the destructor
        }
    });
}

TEST(KelFont3D, PlainByDefaultAndOffsetsFollowTheEffect)
{
    TKel3DCaption font3D(nullptr);
    EXPECT_TRUE(font3D.IsPlain());
    EXPECT_EQ(font3D.HeightExtra() + font3D.OriginDepth() + font3D.ExtrudeShift(), 0);

    int changes = 0;
    font3D.OnChange = [&](fw::TObject*) { ++changes; };
    font3D.SetShadowDepth(3);
    font3D.SetLightDepth(2);
    font3D.SetShadowDepth(3);
    EXPECT_EQ(changes, 2);

    using S = TKel3DStyle;
    struct Case {
        S style;
        int heightExtra;
        int originDepth;
        int extrudeShift;
    };
    for (const Case& c : {Case{S::tdShadow, 3, 0, 0}, Case{S::tdRaisedShadow, 3, 2, 0},
                          Case{S::tdSunkenShadow, 3, 3, 0}, Case{S::tdRaised, 0, 2, 0}, Case{S::tdSunken, 0, 3, 0},
                          Case{S::tdOutline, 0, 0, 0}, Case{S::tdExtrude, 0, 0, 3}, Case{S::tdExtrudeEnh, 0, 0, 3}}) {
        font3D.SetStyle(c.style);
        SCOPED_TRACE(static_cast<int>(c.style));
        EXPECT_EQ(font3D.HeightExtra(), c.heightExtra);
        EXPECT_EQ(font3D.OriginDepth(), c.originDepth);
        EXPECT_EQ(font3D.ExtrudeShift(), c.extrudeShift);
    }
    font3D.SetOrientation(TKelTextOrientation::toBottomRight);  // extrudes away from the caret
    EXPECT_EQ(font3D.ExtrudeShift(), 0);
}

TEST(KelSpecialButtons, TheStripTakesOnePixelMoreThanTheButtons)
{
    TKelSpecialButtons buttons(nullptr);
    int changes = 0;
    buttons.OnChange = [&](fw::TObject*) { ++changes; };
    desktop::RECT edit{0, 2, 60, 19};
    buttons.LayOut(edit, 16, TKelUserButtonStyle::ubsIntegrated, false);
    EXPECT_EQ(edit, (desktop::RECT{0, 2, 59, 19}));

    buttons.AddButton()->SetCaption("...");
    buttons.AddButton();
    EXPECT_EQ(changes, 3);
    edit = desktop::RECT{0, 2, 60, 19};
    buttons.LayOut(edit, 16, TKelUserButtonStyle::ubsFlat, true);
    EXPECT_EQ(edit.right, 60 - 2 * 16 - 1);
    EXPECT_EQ(buttons.Buttons(0)->BoundsRect(), (desktop::RECT{28, 0, 44, 17}));
    EXPECT_EQ(buttons.Buttons(1)->BoundsRect(), (desktop::RECT{44, 0, 60, 17}));
    EXPECT_EQ(buttons.Buttons(1)->Style(), TKelUserButtonStyle::ubsFlat);
}

// ---- Setting the sub-objects by name, as a stored layout does ----

class TKelTestHost : public fw::TCustomControl {
public:
    explicit TKelTestHost(fw::TComponent* owner) : fw::TCustomControl(owner) {}

    static const fw::TClassInfo& Info()
    {
        static const fw::TClassInfo info = fw::ClassBuilder<TKelTestHost, fw::TCustomControl>("TKelTestHost")
                                               .Object("Bevel", [](TKelTestHost* h) { return &h->bevel; })
                                               .Object("Caret", [](TKelTestHost* h) { return &h->caret; })
                                               .Object("Font3D", [](TKelTestHost* h) { return &h->font3D; })
                                               .Object("CustomButtons", [](TKelTestHost* h) { return &h->buttons; })
                                               .Build();
        return info;
    }
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    TKelBevel bevel{this};
    TKelCaret caret{this};
    TKel3DCaption font3D{this};
    TKelSpecialButtons buttons{this};
};

// Writes a layout stream tag by tag.
struct Layout {
    Layout& Bytes(std::initializer_list<int> values)
    {
        for (int v : values) {
            data.push_back(static_cast<std::uint8_t>(v));
        }
        return *this;
    }
    Layout& Signature()
    {
        data.insert(data.end(), {'T', 'P', 'F', '0'});
        return *this;
    }
    Layout& Tag(fw::TValueType type) { return Bytes({static_cast<int>(type)}); }
    Layout& Short(std::string_view text)
    {
        data.push_back(static_cast<std::uint8_t>(text.size()));
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    Layout& Ident(std::string_view text) { return Tag(fw::TValueType::vaIdent).Short(text); }
    Layout& Int16(std::int16_t value)
    {
        Tag(fw::TValueType::vaInt16);
        std::uint8_t raw[2];
        std::memcpy(raw, &value, 2);
        return Bytes({raw[0], raw[1]});
    }
    Layout& End() { return Bytes({0}); }

    std::vector<std::uint8_t> data;
};

class KelLayout : public numedit::testing::WindowTest {
protected:
    void Read(TKelTestHost& host, const Layout& layout)
    {
        fw::TBytesStream stream(layout.data);
        fw::TReader reader(stream);
        reader.ReadRootComponent(&host);
    }
};

TEST_F(KelLayout, TheStoredSubObjectPropertiesAreSetByName)
{
    TKelTestHost host(nullptr);
    int bevelChanges = 0;
    host.bevel.OnChange = [&](fw::TObject*) { ++bevelChanges; };
    Layout layout;
    layout.Signature().Short("TKelTestHost").Short("KelSpinEdit1");
    layout.Short("Bevel.Mode").Ident("bmWindows");
    layout.Short("Caret.BlinkRate").Int16(530);
    layout.Short("CustomButtons").Tag(fw::TValueType::vaCollection).End();
    layout.Short("Bevel.BorderSides").Tag(fw::TValueType::vaSet).Short("fsTop").Short("fsLeft").End();
    layout.Short("Bevel.LightColor").Ident("clRed");
    layout.Short("Font3D.Style").Ident("tdSunkenShadow");
    layout.Short("Caret.Style").Ident("csUnderBlock");
    layout.End().End();
    Read(host, layout);

    EXPECT_EQ(host.bevel.Mode(), TKelBevelMode::bmWindows);
    EXPECT_EQ(host.bevel.BorderSides(), fsTop | fsLeft);
    EXPECT_EQ(host.bevel.LightColor(), fw::clRed);
    EXPECT_EQ(bevelChanges, 3);
    EXPECT_EQ(host.caret.BlinkRate(), 530);
    EXPECT_EQ(host.caret.Style(), TKelCaretStyles::csUnderBlock);
    EXPECT_EQ(host.font3D.Style(), TKel3DStyle::tdSunkenShadow);
    EXPECT_EQ(host.buttons.Count(), 0);
}

}  // namespace
