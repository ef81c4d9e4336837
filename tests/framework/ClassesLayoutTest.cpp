#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "ClassesTestComponents.h"
#include "TestLayouts.h"
#include "desktop/Resources.h"

namespace classes_test {
namespace {

TEST(ClassesLayoutTest, CompiledLayoutBuildsTheTreeAsStored)
{
    RegisterTestClasses();
    RegisterLayout_ClassesTest();
    TTestForm form(nullptr);
    TResourceStream stream(desktop::RT_RCDATA, "ClassesTest");
    TReader reader(stream);
    reader.ReadRootComponent(&form);

    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.pixelsPerInch, 96);
    ASSERT_NE(form.Widget1, nullptr);
    ASSERT_NE(form.Widget2, nullptr);
    const TTestWidget& w = *form.Widget1;
    EXPECT_EQ(w.left, 631);
    EXPECT_EQ(w.GetTag(), -40000);
    EXPECT_EQ(w.color, static_cast<std::int32_t>(0xFF00000F));
    EXPECT_EQ(w.alignment, 1);
    EXPECT_FALSE(w.autoSize);
    EXPECT_EQ(w.caption, "Experimento \"aleatorio\" \x80 \\");
    EXPECT_EQ(w.style, 0b1010u);
    EXPECT_EQ(w.step, 10.0L);
    EXPECT_EQ(w.big, 0x10000000000LL);
    EXPECT_EQ(w.letter, 'z');
    EXPECT_EQ(w.font.height, -11);
    ASSERT_EQ(w.lines.Count(), 3);
    EXPECT_EQ(w.lines.Strings(0), "la probabilidad de obtener un ");
    EXPECT_EQ(w.lines.Strings(2), "0,166666");
    ASSERT_EQ(w.items.Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(w.items.Items(1))->caption, "second");
    EXPECT_EQ(static_cast<TTestItem*>(w.items.Items(1))->value, 100000);
    EXPECT_EQ(w.buddy, form.Widget2);
    const std::vector<std::uint8_t> data = {9, 'T', 'P', 'N', 'G', 'I', 'm', 'a', 'g', 'e',
                                            4, 0,   0,   0,   'B', 'M', 'x', 'y', 0,   0xFF};
    EXPECT_EQ(w.data, data);
    auto* inner = dynamic_cast<TTestWidget*>(form.FindComponent("Inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->left, -1);
    EXPECT_EQ(inner->parent, form.Widget1);

    form.Widget1->onClick(form.Widget1);
    form.Widget2->onClick(form.Widget2);
    EXPECT_EQ(form.clicks, std::vector<std::string>{"Widget1"});
    EXPECT_EQ(form.shows, 1);
}

bool Contains(std::span<const std::uint8_t> bytes, std::initializer_list<int> wanted)
{
    const std::vector<std::uint8_t> needle(wanted.begin(), wanted.end());
    return std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end()) != bytes.end();
}

TEST(ClassesLayoutTest, CompilerWritesIntegersInTheSmallestTag)
{
    RegisterLayout_ClassesTest();
    const auto bytes = *desktop::FindResource(desktop::RT_RCDATA, "ClassesTest");
    EXPECT_TRUE(Contains(bytes, {4, 'L', 'e', 'f', 't', 3, 0x77, 0x02}));          // 631
    EXPECT_TRUE(Contains(bytes, {4, 'L', 'e', 'f', 't', 2, 0xFF}));                // -1
    EXPECT_TRUE(Contains(bytes, {3, 'T', 'a', 'g', 4, 0xC0, 0x63, 0xFF, 0xFF}));   // -40000
    EXPECT_TRUE(Contains(bytes, {3, 'B', 'i', 'g', 19, 0, 0, 0, 0, 0, 1, 0, 0}));  // 2^40
    EXPECT_TRUE(Contains(bytes, {8, 'A', 'u', 't', 'o', 'S', 'i', 'z', 'e', 8}));  // False
    EXPECT_TRUE(Contains(bytes, {5, 'I', 't', 'e', 'm', 's', 14, 0}));             // <>
}

TEST(ClassesLayoutTest, FormReadsTheDescriptionNamedAfterItsClass)
{
    RegisterTestClasses();
    RegisterLayout_ClassesTest();
    desktop::RegisterResource(desktop::RT_RCDATA, "TTESTFORM",
                              *desktop::FindResource(desktop::RT_RCDATA, "ClassesTest"));
    TTestForm form(nullptr);
    int configured = 0;
    InitInheritedComponent(&form, TComponent::Info(), [&](TReader&) { ++configured; });
    EXPECT_EQ(configured, 1);
    ASSERT_NE(form.Widget1, nullptr);
    EXPECT_EQ(form.Widget1->left, 631);

    TTestWidget widget(nullptr);
    try {
        InitInheritedComponent(&widget, TComponent::Info());
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource TTestWidget not found");
    }
}

TEST(ClassesLayoutTest, MissingResourceIsReported)
{
    try {
        TResourceStream stream(desktop::RT_RCDATA, "NOSUCHLAYOUT");
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource NOSUCHLAYOUT not found");
    }
}

}  // namespace
}  // namespace classes_test
