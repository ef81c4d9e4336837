#include <gtest/gtest.h>

#include <cstring>

#include "ClassesTestComponents.h"

namespace classes_test {
namespace {

// Records its own destruction and what its owner told it.
class TTracer : public TComponent {
public:
    TTracer(TComponent* owner, std::vector<std::string>& log) : TComponent(owner), log_(log) {}
    ~TTracer() override { log_.push_back("~" + Name()); }
    void Notification(TComponent* component, TOperation operation) override
    {
        log_.push_back(Name() + (operation == TOperation::opInsert ? " +" : " -") + component->Name());
    }

private:
    std::vector<std::string>& log_;
};

TEST(ComponentTest, OwnerDestroysOwnedInReverseOrderAndForgetsDeletedOnes)
{
    std::vector<std::string> log;
    {
        TTracer owner(nullptr, log);
        owner.SetName("Owner");
        auto* first = new TTracer(&owner, log);
        first->SetName("First");
        auto* second = new TTracer(&owner, log);
        second->SetName("Second");
        auto* third = new TTracer(&owner, log);
        third->SetName("Third");
        log.clear();
        delete second;
        EXPECT_EQ(log, (std::vector<std::string>{"~Second", "Owner -Second"}));
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(owner.Components(1), third);
        EXPECT_EQ(owner.FindComponent("SECOND"), nullptr);
        EXPECT_EQ(owner.FindComponent("third"), third);
        log.clear();
    }
    // The owner's own destructor body runs first; its owned components go last-created first.
    EXPECT_EQ(log, (std::vector<std::string>{"~Owner", "~Third", "~First"}));
}

TEST(ComponentTest, NamesAreUniqueAmongSiblingsAndBindOwnerFields)
{
    TTestForm form(nullptr);
    auto* widget = new TTestWidget(&form);
    widget->SetName("Widget1");
    EXPECT_EQ(form.Widget1, widget);
    auto* other = new TTestWidget(&form);
    try {
        other->SetName("widget1");
        FAIL() << "duplicate accepted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named widget1 already exists");
    }
    other->SetName("Widget2");
    widget->SetName("Renamed");
    EXPECT_EQ(form.Widget1, nullptr);
    EXPECT_EQ(form.Widget2, other);
    delete other;
    EXPECT_EQ(form.Widget2, nullptr);
    EXPECT_THROW(form.Components(5), EListError);
}

TEST(ComponentTest, ClassInformationWalksTheParentChain)
{
    TTestWidget widget(nullptr);
    EXPECT_EQ(widget.ClassName(), "TTestWidget");
    EXPECT_TRUE(widget.InheritsFrom(TComponent::Info()));
    EXPECT_TRUE(widget.InheritsFrom(TPersistent::Info()));
    EXPECT_FALSE(widget.InheritsFrom(TTestForm::Info()));
    const PropertyInfo* tag = widget.ClassInfo().FindProperty("tag");
    ASSERT_NE(tag, nullptr);
    tag->setOrdinal(&widget, 42);
    EXPECT_EQ(widget.GetTag(), 42);
    EXPECT_TRUE(widget.ClassInfo().FindProperty("Fixed")->IsReadOnly());
    EXPECT_EQ(TTestForm::Info().FindMethod("formshow")->name, "FormShow");
    EXPECT_EQ(widget.ClassInfo().FindMethod("FormShow"), nullptr);
    RegisterTestClasses();
    ASSERT_EQ(FindClass("ttestwidget"), &TTestWidget::Info());
    std::unique_ptr<TComponent> made(FindClass("TTestWidget")->create(nullptr));
    EXPECT_NE(dynamic_cast<TTestWidget*>(made.get()), nullptr);
    EXPECT_FALSE(TTestFont::Info().create);
}

TEST(PersistentTest, AssignWithoutSupportNamesBothClasses)
{
    TTestFont font;
    TStringList lines;
    try {
        lines.Assign(&font);
        FAIL() << "assigned";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TTestFont to a TStringList");
    }
    TStringList source;
    source.SetText("a\r\nb\nc\rd");
    lines.Assign(&source);
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.Text(), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(lines.IndexOf("C"), 2);
    EXPECT_THROW(lines.Get(4), EListError);
}

TEST(CollectionTest, UpdatesInsideABracketNotifyOnce)
{
    TCountingCollection items(nullptr);
    items.Add();
    EXPECT_EQ(items.updates, 1);
    items.BeginUpdate();
    items.Add();
    items.Add();
    items.Delete(0);
    EXPECT_EQ(items.updates, 1);
    items.EndUpdate();
    EXPECT_EQ(items.updates, 2);
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Items(1)->Index(), 1);
    EXPECT_EQ(items.Items(0)->Collection(), &items);
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.updates, 3);
    EXPECT_THROW(items.Items(0), EListError);
}

TEST(StreamTest, MemoryStreamGrowsAndShortReadsFail)
{
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    EXPECT_EQ(stream.Size(), 6);
    EXPECT_EQ(stream.Position(), 6);
    stream.SetPosition(2);
    stream.WriteBuffer("XY", 2);
    EXPECT_EQ(stream.Seek(-1, TSeekOrigin::soEnd), 5);
    char tail[2] = {};
    EXPECT_EQ(stream.Read(tail, 2), 1u);
    EXPECT_EQ(tail[0], 'f');
    stream.SetPosition(0);
    char all[6] = {};
    stream.ReadBuffer(all, 6);
    EXPECT_EQ(std::string(all, 6), "abXYef");
    try {
        stream.ReadBuffer(all, 1);
        FAIL() << "read past the end";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_EQ(stream.Seek(-100, TSeekOrigin::soCurrent), 0);
    EXPECT_EQ(stream.Seek(100, TSeekOrigin::soCurrent), 6);
}

TEST(StreamTest, BytesStreamIsReadOnlyAndCopies)
{
    const std::uint8_t bytes[] = {1, 2, 3, 4};
    TBytesStream view(bytes);
    EXPECT_THROW(view.WriteBuffer("x", 1), EStreamError);
    TMemoryStream copy;
    view.SetPosition(1);
    EXPECT_EQ(copy.CopyFrom(view, 2), 2);
    EXPECT_EQ(copy.Bytes(), (std::vector<std::uint8_t>{2, 3}));
    EXPECT_EQ(copy.CopyFrom(view, 0), 4);
    EXPECT_EQ(copy.Size(), 6);
    EXPECT_THROW(copy.CopyFrom(view, 1), EReadError);
}

}  // namespace
}  // namespace classes_test
