// Fuzzes the layout reader over a small component tree whose widgets publish one property of
// most kinds, a font and a picture, so that the picture and bitmap data readers are fuzzed too.
// Any failure the reader reports as a framework exception is fine; everything else (a crash,
// an out-of-bounds read, another exception type) is a finding.

#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/Classes.h"
#include "framework/Graphics.h"

namespace {

using namespace fw;

class TFuzzWidget : public TComponent {
public:
    explicit TFuzzWidget(TComponent* owner) : TComponent(owner) {}

    static const TClassInfo& Info()
    {
        static const TClassInfo info =
            ClassBuilder<TFuzzWidget, TComponent>("TFuzzWidget")
                .Integer(
                    "Left", [](TFuzzWidget* w) { return w->left; }, [](TFuzzWidget* w, std::int32_t v) { w->left = v; })
                .Integer(
                    "Color", [](TFuzzWidget* w) { return w->color; },
                    [](TFuzzWidget* w, std::int32_t v) { w->color = v; }, IdentToColor)
                .String(
                    "Caption", [](TFuzzWidget* w) { return w->caption; },
                    [](TFuzzWidget* w, const std::string& v) { w->caption = v; })
                .Boolean(
                    "AutoSize", [](TFuzzWidget* w) { return w->autoSize; },
                    [](TFuzzWidget* w, bool v) { w->autoSize = v; })
                .Enum(
                    "Alignment", {"taLeftJustify", "taRightJustify", "taCenter"},
                    [](TFuzzWidget* w) { return w->alignment; }, [](TFuzzWidget* w, int v) { w->alignment = v; })
                .Set(
                    "Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
                    [](TFuzzWidget* w) { return w->style; }, [](TFuzzWidget* w, std::uint32_t v) { w->style = v; })
                .Float(
                    "Step", [](TFuzzWidget* w) { return w->step; }, [](TFuzzWidget* w, long double v) { w->step = v; })
                .Char(
                    "Letter", [](TFuzzWidget* w) { return w->letter; }, [](TFuzzWidget* w, char v) { w->letter = v; })
                .Int64(
                    "Big", [](TFuzzWidget* w) { return w->big; }, [](TFuzzWidget* w, std::int64_t v) { w->big = v; })
                .Object("Font", [](TFuzzWidget* w) { return &w->font; })
                .Object("Picture", [](TFuzzWidget* w) { return &w->picture; })
                .Object("Lines", [](TFuzzWidget* w) { return &w->lines; })
                .Object(
                    "Buddy", [](TFuzzWidget* w) { return w->buddy; },
                    [](TFuzzWidget* w, TFuzzWidget* v) { w->buddy = v; })
                .Event("OnClick", [](TFuzzWidget* w, TNotifyEvent e) { w->onClick = std::move(e); })
                .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return Info(); }

    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove && component == buddy) buddy = nullptr;
    }

    std::int32_t left = 0;
    std::int32_t color = 0;
    std::string caption;
    bool autoSize = true;
    int alignment = 0;
    std::uint32_t style = 0;
    long double step = 0;
    char letter = 0;
    std::int64_t big = 0;
    TFont font;
    TPicture picture;
    TStringList lines;
    TFuzzWidget* buddy = nullptr;
    TNotifyEvent onClick;
};

class TFuzzForm : public TComponent {
public:
    using TComponent::TComponent;

    static const TClassInfo& Info()
    {
        static const TClassInfo info = ClassBuilder<TFuzzForm, TComponent>("TFuzzForm")
                                           .Object("Font", [](TFuzzForm* f) { return &f->font; })
                                           .Method("Button1Click", &TFuzzForm::Button1Click)
                                           .Field("Widget1", &TFuzzForm::Widget1)
                                           .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return Info(); }

    void Button1Click(TObject*) {}

    TFont font;
    TFuzzWidget* Widget1 = nullptr;
};

// Draws what was decoded, so that the pixels are read back as well.
void DrawPictures(TComponent& root, TBitmap& target)
{
    for (int i = 0; i < root.ComponentCount(); ++i) {
        if (auto* widget = dynamic_cast<TFuzzWidget*>(root.Components(i))) {
            if (TGraphic* graphic = widget->picture.Graphic(); graphic != nullptr && !graphic->Empty()) {
                target.Canvas()->StretchDraw(desktop::RECT{0, 0, 8, 8}, graphic);
                target.Canvas()->Draw(0, 0, graphic);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = [] {
        RegisterClass(TFuzzForm::Info());
        RegisterClass(TFuzzWidget::Info());
        return true;
    }();
    (void)registered;

    TFuzzForm form(nullptr);
    TBytesStream stream(std::span<const std::uint8_t>(data, size));
    TReader reader(stream);
    try {
        reader.ReadRootComponent(&form);
    } catch (const Exception&) {
        return 0;
    }
    TBitmap target;
    target.SetSize(8, 8);
    DrawPictures(form, target);
    return 0;
}
