#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "ClassesTestComponents.h"

namespace classes_test {
namespace {

// Writes layout streams by hand, tag by tag.
class Bytes {
public:
    Bytes& Raw(std::initializer_list<int> bytes)
    {
        for (int b : bytes) {
            data.push_back(static_cast<std::uint8_t>(b));
        }
        return *this;
    }
    Bytes& Signature() { return Chars("TPF0"); }
    Bytes& Chars(std::string_view text)
    {
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    Bytes& Short(std::string_view text)
    {
        data.push_back(static_cast<std::uint8_t>(text.size()));
        return Chars(text);
    }
    Bytes& Tag(TValueType type)
    {
        data.push_back(static_cast<std::uint8_t>(type));
        return *this;
    }
    template <class T>
    Bytes& Le(T value)
    {
        std::uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        data.insert(data.end(), raw, raw + sizeof(T));
        return *this;
    }
    Bytes& Int(std::int32_t value)
    {
        if (value >= -128 && value <= 127) {
            return Tag(TValueType::vaInt8).Le(static_cast<std::int8_t>(value));
        }
        if (value >= -32768 && value <= 32767) {
            return Tag(TValueType::vaInt16).Le(static_cast<std::int16_t>(value));
        }
        return Tag(TValueType::vaInt32).Le(value);
    }
    Bytes& Str(std::string_view text) { return Tag(TValueType::vaString).Short(text); }
    Bytes& Ident(std::string_view text) { return Tag(TValueType::vaIdent).Short(text); }
    Bytes& Prop(std::string_view name) { return Short(name); }
    Bytes& End() { return Raw({0}); }
    // Header of a component record.
    Bytes& Component(std::string_view className, std::string_view name) { return Short(className).Short(name); }

    std::vector<std::uint8_t> data;
};

// A form with one widget holding the given property bytes.
Bytes WidgetStream(const std::function<void(Bytes&)>& properties)
{
    Bytes b;
    b.Signature().Component("TTestForm", "Form1").End();
    b.Component("TTestWidget", "Widget1");
    properties(b);
    b.End().End();  // widget: properties, children
    b.End();        // form: children
    return b;
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestClasses();
        LoadedLog().clear();
    }

    void Read(const std::vector<std::uint8_t>& bytes)
    {
        TBytesStream stream(bytes);
        TReader reader(stream);
        reader.ReadRootComponent(&form);
    }

    std::string ReadError(const std::vector<std::uint8_t>& bytes)
    {
        TTestForm fresh(nullptr);
        TBytesStream stream(bytes);
        TReader reader(stream);
        try {
            reader.ReadRootComponent(&fresh);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "no error";
    }

    TTestForm form{nullptr};
};

TEST_F(ReaderTest, ReadsEveryPropertyKindIntoTheTree)
{
    Bytes b;
    b.Signature().Component("TTestForm", "Form1");
    b.Prop("PixelsPerInch").Int(96).Prop("TextHeight").Int(13).End();
    b.Component("TTestWidget", "Widget1");
    b.Prop("Left").Int(631).Prop("Tag").Int(-100000).Prop("Color").Ident("clBtnFace");
    b.Prop("Alignment").Ident("taCenter").Prop("AutoSize").Tag(TValueType::vaFalse);
    b.Prop("Caption").Str("Experimento aleatorio con dados");
    b.Prop("Style").Tag(TValueType::vaSet).Short("fsBold").Short("fsUnderline").End();
    const long double ten = 10.0L;
    b.Prop("Step").Tag(TValueType::vaExtended);
    b.data.insert(b.data.end(), reinterpret_cast<const std::uint8_t*>(&ten),
                  reinterpret_cast<const std::uint8_t*>(&ten) + 10);
    b.Prop("Big").Tag(TValueType::vaInt64).Le<std::int64_t>(1LL << 40);
    b.Prop("Letter").Str("x");
    b.Prop("Font.Height").Int(-11).Prop("Font.Color").Ident("clWindowText");
    b.Prop("Lines.Strings").Tag(TValueType::vaList).Str("la probabilidad ").Str("0,166666").End();
    b.Prop("Items").Tag(TValueType::vaCollection);
    b.Tag(TValueType::vaList).Prop("Caption").Str("one").End();
    b.Int(5).Tag(TValueType::vaList).Prop("Value").Int(300).End();
    b.End();
    b.Prop("Buddy").Ident("Widget2").Prop("OnClick").Ident("Button2Click");
    b.Prop("Data").Tag(TValueType::vaBinary).Le<std::uint32_t>(3).Raw({1, 2, 0xFF});
    b.End();
    b.Component("TTestWidget", "Inner")
        .Prop("Caption")
        .Tag(TValueType::vaWString)
        .Le<std::uint32_t>(2)
        .Le<std::uint16_t>(0x20AC)
        .Le<std::uint16_t>(0x263A)
        .End()
        .End();
    b.End();  // Widget1 children
    b.Component("TTestWidget", "Widget2")
        .Prop("Caption")
        .Tag(TValueType::vaLString)
        .Le<std::uint32_t>(2)
        .Chars("ok")
        .End()
        .End();
    b.End();
    Read(b.data);

    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.pixelsPerInch, 96);
    EXPECT_EQ(form.textHeight, 13);
    ASSERT_NE(form.Widget1, nullptr);
    ASSERT_NE(form.Widget2, nullptr);
    ASSERT_EQ(form.ComponentCount(), 3);
    TTestWidget& w = *form.Widget1;
    EXPECT_EQ(w.Owner(), &form);
    EXPECT_EQ(w.parent, &form);
    EXPECT_EQ(w.left, 631);
    EXPECT_EQ(w.GetTag(), -100000);
    EXPECT_EQ(w.color, static_cast<std::int32_t>(0xFF00000F));
    EXPECT_EQ(w.alignment, 2);
    EXPECT_FALSE(w.autoSize);
    EXPECT_EQ(w.caption, "Experimento aleatorio con dados");
    EXPECT_EQ(w.style, 0b101u);
    EXPECT_EQ(w.step, 10.0L);
    EXPECT_EQ(w.big, 1LL << 40);
    EXPECT_EQ(w.letter, 'x');
    EXPECT_EQ(w.font.height, -11);
    EXPECT_EQ(w.font.color, static_cast<std::int32_t>(0xFF000008));
    EXPECT_EQ(w.lines.Text(), "la probabilidad \r\n0,166666\r\n");
    ASSERT_EQ(w.items.Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(w.items.Items(0))->caption, "one");
    EXPECT_EQ(static_cast<TTestItem*>(w.items.Items(1))->value, 300);
    EXPECT_EQ(w.items.updates, 1);
    EXPECT_EQ(w.buddy, form.Widget2);
    EXPECT_EQ(w.data, (std::vector<std::uint8_t>{1, 2, 0xFF}));
    ASSERT_TRUE(w.onClick);
    w.onClick(&w);
    EXPECT_EQ(form.clicks, std::vector<std::string>{"Widget1"});
    auto* inner = dynamic_cast<TTestWidget*>(form.FindComponent("inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->parent, form.Widget1);
    EXPECT_EQ(inner->caption, "\x80?");
    EXPECT_EQ(form.Widget2->caption, "ok");
    // A component joins the loaded list once its own children are read.
    EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"Inner", "Widget1", "Widget2"}));
    EXPECT_FALSE(w.loadedWhileReading);
    EXPECT_FALSE(form.HasState(csLoading));
}

TEST_F(ReaderTest, SetMembersFromOrdinal32OnAreIgnored)
{
    Read(WidgetStream([](Bytes& b) {
             b.Prop("Flags").Tag(TValueType::vaSet).Short("f1").Short("f31").Short("f32").Short("f39").End();
         }).data);
    EXPECT_EQ(form.Widget1->flags, 0x80000002u);
}

TEST_F(ReaderTest, EmptyCollectionLeavesItems)
{
    TTestForm owner(nullptr);
    auto* widget = new TTestWidget(&owner);
    widget->SetName("Widget1");
    widget->items.Add();
    EXPECT_EQ(owner.Widget1, widget);

    Bytes b;
    b.Signature().Component("TTestWidget", "Widget1").Prop("Items").Tag(TValueType::vaCollection).End().End().End();
    TBytesStream stream(b.data);
    TReader reader(stream);
    reader.ReadRootComponent(widget);
    EXPECT_EQ(widget->items.Count(), 1);
    EXPECT_EQ(widget->Name(), "Widget1");
}

TEST_F(ReaderTest, ReplacedCollectionItemsDropTheirPendingReferences)
{
    Read(WidgetStream([](Bytes& b) {
             b.Prop("Items")
                 .Tag(TValueType::vaCollection)
                 .Tag(TValueType::vaList)
                 .Prop("Link")
                 .Ident("Widget1")
                 .End()
                 .End();
             b.Prop("Items")
                 .Tag(TValueType::vaCollection)
                 .Tag(TValueType::vaList)
                 .End()
                 .Tag(TValueType::vaList)
                 .Prop("Link")
                 .Ident("Form1")
                 .End()
                 .End();
         }).data);
    ASSERT_EQ(form.Widget1->items.Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(form.Widget1->items.Items(0))->link, nullptr);
    EXPECT_EQ(static_cast<TTestItem*>(form.Widget1->items.Items(1))->link, &form);
}

TEST_F(ReaderTest, RootNameIsMadeUniqueAmongItsSiblings)
{
    TTestForm application(nullptr);
    (new TTestWidget(&application))->SetName("Widget1");
    (new TTestWidget(&application))->SetName("Widget1_1");
    auto* second = new TTestWidget(&application);
    Bytes b;
    b.Signature().Component("TTestWidget", "Widget1").End().End();
    TBytesStream stream(b.data);
    TReader reader(stream);
    reader.ReadRootComponent(second);
    EXPECT_EQ(second->Name(), "Widget1_2");
    EXPECT_EQ(application.Widget1, application.FindComponent("Widget1"));
}

TEST_F(ReaderTest, RootOfStoredClassIsCreatedWithoutAnExistingRoot)
{
    Bytes b;
    b.Signature().Component("TTestWidget", "Made").Prop("Left").Int(3).End().End();
    TBytesStream stream(b.data);
    TReader reader(stream);
    std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
    auto* widget = dynamic_cast<TTestWidget*>(root.get());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->left, 3);
    EXPECT_EQ(widget->Name(), "Made");
}

TEST_F(ReaderTest, FailureMessages)
{
    Bytes badSignature;
    badSignature.Chars("TPF1").Component("TTestForm", "Form1").End().End();
    EXPECT_EQ(ReadError(badSignature.data), "Invalid stream format");

    const auto prop = [&](const std::function<void(Bytes&)>& f) { return ReadError(WidgetStream(f).data); };
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Alignment").Ident("taNowhere"); }),
              "Error reading Widget1.Alignment: Invalid property value");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Font.Color").Ident("clNoSuchColour"); }),
              "Error reading Widget1.Font.Color: Invalid property value");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Left").Str("12"); }), "Error reading Widget1.Left: Invalid property value");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("AutoSize").Int(1); }),
              "Error reading Widget1.AutoSize: Invalid property value");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("OnClick").Ident("NoSuchHandler"); }),
              "Error reading Widget1.OnClick: Invalid property value");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Style").Tag(TValueType::vaSet).Short("fsWide").End(); }),
              "Error reading Widget1.Style: Invalid property value");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Width").Int(1); }), "Error reading Widget1.Width: Property does not exist");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Bevel.Mode").Ident("bmWindows"); }),
              "Error reading Widget1.Bevel.Mode: Property does not exist");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Left.Mode").Int(1); }),
              "Error reading Widget1.Left.Mode: Invalid property path");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Buddy.Left").Int(1); }),
              "Error reading Widget1.Buddy.Left: Invalid property path");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Fixed").Int(1); }), "Error reading Widget1.Fixed: Property is read-only");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Font").Tag(TValueType::vaNil); }),
              "Error reading Widget1.Font: Property is read-only");
    EXPECT_EQ(prop([](Bytes& b) { b.Prop("Data").Tag(TValueType::vaBinary).Le<std::uint32_t>(1000).Raw({1}); }),
              "Error reading Widget1.Data: Stream read error");
    EXPECT_EQ(
        prop([](Bytes& b) {
            b.Prop("Items").Tag(TValueType::vaCollection).Tag(TValueType::vaList).Prop("Colour").Int(1).End().End();
        }),
        "Error reading Widget1.Items: Error reading TTestItem.Colour: Property does not exist");

    Bytes unknownClass;
    unknownClass.Signature().Component("TTestForm", "Form1").End().Component("TNoSuchClass", "X").End().End().End();
    EXPECT_EQ(ReadError(unknownClass.data), "Class TNoSuchClass not found");
    Bytes notComponent;
    RegisterClass(TTestFont::Info());
    notComponent.Signature().Component("TTestForm", "Form1").End().Component("TTestFont", "X").End().End().End();
    EXPECT_EQ(ReadError(notComponent.data), "Class TTestFont not found");

    std::vector<std::uint8_t> truncated = WidgetStream([](Bytes& b) { b.Prop("Caption").Str("cut"); }).data;
    truncated.resize(truncated.size() - 6);
    EXPECT_EQ(ReadError(truncated), "Error reading Widget1.Caption: Stream read error");
    truncated.resize(truncated.size() - 5);
    EXPECT_EQ(ReadError(truncated), "Stream read error");
}

TEST_F(ReaderTest, FailedChildIsFreedAndErrorHookSkipsTheValue)
{
    TTestForm fresh(nullptr);
    const auto bad = WidgetStream([](Bytes& b) { b.Prop("Alignment").Ident("taNowhere"); });
    TBytesStream stream(bad.data);
    TReader reader(stream);
    EXPECT_THROW(reader.ReadRootComponent(&fresh), EReadError);
    EXPECT_EQ(fresh.ComponentCount(), 0);
    EXPECT_EQ(fresh.Widget1, nullptr);

    std::vector<std::string> reported;
    const auto handled = WidgetStream([](Bytes& b) {
        b.Prop("Items").Tag(TValueType::vaCollection).Tag(TValueType::vaList).Prop("Caption").Str("x").End().End();
        b.Prop("Nothing").Tag(TValueType::vaList).Int(70000).Str("s").End();
        b.Prop("Left").Int(9);
    });
    TTestForm tolerant(nullptr);
    TBytesStream again(handled.data);
    TReader lenient(again);
    lenient.OnError = [&](const std::string& message) {
        reported.push_back(message);
        return true;
    };
    lenient.ReadRootComponent(&tolerant);
    ASSERT_NE(tolerant.Widget1, nullptr);
    EXPECT_EQ(tolerant.Widget1->left, 9);
    EXPECT_EQ(tolerant.Widget1->items.Count(), 1);
    EXPECT_EQ(reported, std::vector<std::string>{"Property does not exist"});
}

// A nested form record read twice under one name, followed by a record cut short: what the
// nested reading left behind must not be visited once it is gone.
TEST_F(ReaderTest, ChildFailingAfterNestedReadsLeavesNothingFreedBehind)
{
    Bytes b;
    b.Signature().Raw({1, 0, 0, 0, 9}).Chars("TTestForm").Short(std::string("FoE\0\0", 5)).End();
    b.Raw({0xFD, 9}).Chars("TTestForm").Short(std::string("FoE\0\0", 5)).End().End();
    b.Raw({0x74, 0, 0, 0, 0x5C, 0x69, 0, 0x64});
    EXPECT_NE(ReadError(b.data), "no error");

    // A container whose second child fails after its first was read: the container is freed,
    // the first child (owned by the form) stays behind, out of the loading state and never loaded.
    Bytes nested;
    nested.Signature().Component("TTestForm", "Form1").End();
    nested.Component("TTestWidget", "Outer").End();
    nested.Component("TTestWidget", "Inner").End().End();
    nested.Component("TTestWidget", "Broken").Prop("Alignment").Ident("taNowhere").End().End();
    nested.End().End().End();
    TTestForm fresh(nullptr);
    TBytesStream stream(nested.data);
    TReader reader(stream);
    EXPECT_THROW(reader.ReadRootComponent(&fresh), EReadError);
    EXPECT_TRUE(LoadedLog().empty());
    for (int i = 0; i < fresh.ComponentCount(); ++i) {
        EXPECT_EQ(fresh.Components(i)->ComponentState() & (csLoading | csReading), 0) << fresh.Components(i)->Name();
    }
}

TEST_F(ReaderTest, HooksFindClassesAndMethods)
{
    int calls = 0;
    Bytes b;
    b.Signature().Component("TTestForm", "Form1").End();
    b.Component("TAliasWidget", "Widget1").Prop("OnClick").Ident("External").End().End().End();
    TTestForm fresh(nullptr);
    TBytesStream stream(b.data);
    TReader reader(stream);
    reader.OnFindComponentClass = [](const std::string& name) {
        return name == "TAliasWidget" ? &TTestWidget::Info() : nullptr;
    };
    reader.OnFindMethod = [&](TComponent*, const std::string& name) -> TNotifyEvent {
        return name == "External" ? TNotifyEvent([&](TObject*) { ++calls; }) : TNotifyEvent();
    };
    std::vector<std::string> order;
    reader.OnReadRootStart = [&](TComponent* root) { order.push_back("start " + root->Name()); };
    reader.OnReadRootEnd = [&](TComponent* root) { order.push_back("end " + std::to_string(root->ComponentCount())); };
    reader.ReadRootComponent(&fresh);
    ASSERT_NE(fresh.Widget1, nullptr);
    fresh.Widget1->onClick(nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"start Form1", "end 1"}));
}

// Every corruption of a valid stream must end in a framework exception, never a crash.
TEST_F(ReaderTest, RandomMutationsFailCleanly)
{
    const auto valid =
        WidgetStream([](Bytes& b) {
            b.Prop("Left").Int(631).Prop("Caption").Str("abc").Prop("Color").Ident("clBtnFace");
            b.Prop("Style").Tag(TValueType::vaSet).Short("fsBold").End();
            b.Prop("Lines.Strings").Tag(TValueType::vaList).Str("a").Str("b").End();
            b.Prop("Items").Tag(TValueType::vaCollection).Tag(TValueType::vaList).Prop("Value").Int(2).End().End();
            b.Prop("Data").Tag(TValueType::vaBinary).Le<std::uint32_t>(2).Raw({7, 8});
            b.Prop("OnClick").Ident("FormShow").Prop("Buddy").Ident("Widget1");
        }).data;
    std::mt19937 random(12345);
    int failures = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> bytes = valid;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = random() % bytes.size();
            switch (random() % 4) {
                case 0: bytes[at] = static_cast<std::uint8_t>(random()); break;
                case 1: bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8)); break;
                case 2: bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at)); break;
                default:
                    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(random()));
                    break;
            }
            if (bytes.empty()) {
                bytes.push_back(0);
            }
        }
        TTestForm target(nullptr);
        TBytesStream stream(bytes);
        TReader reader(stream);
        try {
            reader.ReadRootComponent(&target);
        } catch (const Exception&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 1000);
}

}  // namespace
}  // namespace classes_test
