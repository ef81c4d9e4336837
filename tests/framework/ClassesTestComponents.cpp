#include "ClassesTestComponents.h"

namespace classes_test {

namespace {

bool ColorToInt(std::string_view ident, std::int32_t& value)
{
    if (SameText(ident, "clBtnFace")) {
        value = static_cast<std::int32_t>(0xFF00000F);
        return true;
    }
    if (SameText(ident, "clWindowText")) {
        value = static_cast<std::int32_t>(0xFF000008);
        return true;
    }
    return false;
}

// More members than a mask holds.
std::vector<std::string> FlagNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        names.push_back("f" + std::to_string(i));
    }
    return names;
}

}  // namespace

const TClassInfo& TTestItem::Info()
{
    static const TClassInfo info =
        ClassBuilder<TTestItem, TCollectionItem>("TTestItem")
            .String("Caption", &TTestItem::caption, [](TTestItem* i, const std::string& v) { i->caption = v; })
            .Integer("Value", &TTestItem::value, [](TTestItem* i, std::int32_t v) { i->value = v; })
            .Object("Link", &TTestItem::link, [](TTestItem* i, TComponent* c) { i->link = c; })
            .Build();
    return info;
}

const TClassInfo& TTestFont::Info()
{
    static const TClassInfo info =
        ClassBuilder<TTestFont, TPersistent>("TTestFont")
            .Integer("Height", &TTestFont::height, [](TTestFont* f, std::int32_t v) { f->height = v; })
            .Integer(
                "Color", &TTestFont::color, [](TTestFont* f, std::int32_t v) { f->color = v; }, ColorToInt)
            .Build();
    return info;
}

TTestWidget::TTestWidget(TComponent* owner) : TComponent(owner) {}

const TClassInfo& TTestWidget::Info()
{
    using W = TTestWidget;
    static const TClassInfo info =
        ClassBuilder<W, TComponent>("TTestWidget")
            .Integer("Left", &W::left, [](W* w, std::int32_t v) { w->left = v; })
            .Integer(
                "Color", &W::color, [](W* w, std::int32_t v) { w->color = v; }, ColorToInt)
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &W::alignment,
                  [](W* w, int v) { w->alignment = v; })
            .Boolean("AutoSize", &W::autoSize, [](W* w, bool v) { w->autoSize = v; })
            .String("Caption", &W::caption, [](W* w, const std::string& v) { w->caption = v; })
            .Set("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, &W::style,
                 [](W* w, std::uint32_t v) { w->style = v; })
            .Set("Flags", FlagNames(), &W::flags, [](W* w, std::uint32_t v) { w->flags = v; })
            .Float("Step", &W::step, [](W* w, long double v) { w->step = v; })
            .Int64("Big", &W::big, [](W* w, std::int64_t v) { w->big = v; })
            .Char("Letter", &W::letter, [](W* w, char v) { w->letter = v; })
            .Integer(
                "Fixed", [](W*) { return 7; }, nullptr)
            .Object("Buddy", &W::buddy, [](W* w, TTestWidget* v) { w->buddy = v; })
            .Object("Font", [](W* w) { return &w->font; })
            .Object("Lines", [](W* w) { return &w->lines; })
            .Object("Items", [](W* w) { return &w->items; })
            .Event("OnClick", [](W* w, TNotifyEvent e) { w->onClick = std::move(e); })
            .Build();
    return info;
}

void TTestWidget::Loaded()
{
    loadedWhileReading = HasState(csReading);
    TComponent::Loaded();
    LoadedLog().push_back(Name());
}

void TTestWidget::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data",
        [this](TStream& stream) {
            data.resize(static_cast<std::size_t>(stream.Size()));
            stream.ReadBuffer(data.data(), data.size());
        },
        !data.empty());
}

const TClassInfo& TTestForm::Info()
{
    using F = TTestForm;
    static const TClassInfo info =
        ClassBuilder<F, TComponent>("TTestForm")
            .Integer("PixelsPerInch", &F::pixelsPerInch, [](F* f, std::int32_t v) { f->pixelsPerInch = v; })
            .Integer("TextHeight", &F::textHeight, [](F* f, std::int32_t v) { f->textHeight = v; })
            .Field("Widget1", &F::Widget1)
            .Field("Widget2", &F::Widget2)
            .Method("Button2Click", &F::Button2Click)
            .Method("FormShow", &F::FormShow)
            .Build();
    return info;
}

void TTestForm::Button2Click(TObject* sender)
{
    auto* component = dynamic_cast<TComponent*>(sender);
    clicks.push_back(component != nullptr ? component->Name() : "?");
}

void TTestForm::FormShow(TObject*) { ++shows; }

std::vector<std::string>& LoadedLog()
{
    static std::vector<std::string> log;
    return log;
}

void RegisterTestClasses()
{
    RegisterClass(TTestWidget::Info());
    RegisterClass(TTestForm::Info());
}

}  // namespace classes_test
