#pragma once

// Components used by the Classes tests: a form with fields and handlers, and a widget that
// publishes one property of every kind.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"

namespace classes_test {

using namespace fw;

class TTestItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    std::string caption;
    std::int32_t value = 0;
    TComponent* link = nullptr;
};

class TTestFont : public TPersistent {
public:
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    std::int32_t height = 0;
    std::int32_t color = 0;
};

// Counts the change notifications that reach it.
class TCountingCollection : public TCollection {
public:
    explicit TCountingCollection(TPersistent* owner)
        : TCollection(owner, [](TCollection* c) { return std::make_unique<TTestItem>(c); })
    {
    }
    void Update(TCollectionItem*) override { ++updates; }

    int updates = 0;
};

class TTestWidget : public TComponent {
public:
    explicit TTestWidget(TComponent* owner);
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    void SetParentComponent(TComponent* parent) override { this->parent = parent; }
    void Loaded() override;
    void DefineProperties(TFiler& filer) override;

    TComponent* parent = nullptr;
    std::int32_t left = 0;
    std::int32_t color = 0;
    int alignment = 0;
    bool autoSize = true;
    std::string caption;
    std::uint32_t style = 0;
    std::uint32_t flags = 0;
    long double step = 0;
    std::int64_t big = 0;
    char letter = 0;
    TTestWidget* buddy = nullptr;
    TNotifyEvent onClick;
    TTestFont font;
    TStringList lines;
    TCountingCollection items{this};
    std::vector<std::uint8_t> data;
    bool loadedWhileReading = false;
};

class TTestForm : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    void Button2Click(TObject* sender);
    void FormShow(TObject* sender);

    TTestWidget* Widget1 = nullptr;
    TTestWidget* Widget2 = nullptr;
    std::int32_t pixelsPerInch = 0;
    std::int32_t textHeight = 0;
    std::vector<std::string> clicks;
    int shows = 0;
};

// Names of components in the order Loaded reached them.
std::vector<std::string>& LoadedLog();
void RegisterTestClasses();

}  // namespace classes_test
