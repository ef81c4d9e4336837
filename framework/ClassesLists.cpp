#include "framework/ClassesLists.h"

#include <algorithm>

#include "framework/ClassesConsts.h"
#include "framework/ClassesReader.h"
#include "framework/SysUtilsConvert.h"

namespace fw {

namespace {

[[noreturn]] void RaiseIndexError(int index)
{
    throw EListError(FormatMessage1(SListIndexError, IntegerToText(index)));
}

}  // namespace

const TClassInfo& TCollectionItem::Info()
{
    static const TClassInfo info{.name = "TCollectionItem", .parent = &TPersistent::Info()};
    return info;
}

int TCollectionItem::Index() const { return collection_ != nullptr ? collection_->IndexOf(this) : -1; }

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed()
{
    if (collection_ != nullptr) {
        collection_->Changed(this);
    }
}

TCollection::TCollection(TPersistent* owner, ItemFactory itemFactory)
    : owner_(owner), itemFactory_(std::move(itemFactory))
{
}

TCollection::~TCollection() = default;

const TClassInfo& TCollection::Info()
{
    static const TClassInfo info{.name = "TCollection", .parent = &TPersistent::Info()};
    return info;
}

TCollectionItem* TCollection::Add()
{
    items_.push_back(itemFactory_(this));
    Changed();
    return items_.back().get();
}

void TCollection::Clear()
{
    if (items_.empty()) {
        return;
    }
    BeginUpdate();
    items_.clear();
    Changed();
    EndUpdate();
}

void TCollection::Delete(int index)
{
    if (index < 0 || index >= Count()) {
        RaiseIndexError(index);
    }
    items_.erase(items_.begin() + index);
    Changed();
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count()) {
        RaiseIndexError(index);
    }
    return items_[static_cast<std::size_t>(index)].get();
}

int TCollection::IndexOf(const TCollectionItem* item) const
{
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TCollection::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        Update(nullptr);
    }
}

void TCollection::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TCollection*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    items_.clear();
    for (const auto& item : other->items_) {
        Add()->Assign(item.get());
    }
    Changed();
    EndUpdate();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed(TCollectionItem* item)
{
    if (updateCount_ > 0) {
        changedWhileUpdating_ = true;
    } else {
        Update(item);
    }
}

const TClassInfo& TStrings::Info()
{
    static const TClassInfo info{.name = "TStrings", .parent = &TPersistent::Info()};
    return info;
}

int TStrings::Add(const std::string& text)
{
    const int index = Count();
    Insert(index, text);
    return index;
}

int TStrings::IndexOf(const std::string& text) const
{
    for (int i = 0; i < Count(); ++i) {
        if (SameText(Get(i), text)) {
            return i;
        }
    }
    return -1;
}

std::string TStrings::Text() const
{
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(const std::string& text)
{
    Clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            Add(text.substr(start));
            break;
        }
        Add(text.substr(start, end - start));
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
}

void TStrings::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TStrings*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    Clear();
    for (int i = 0; i < other->Count(); ++i) {
        Add(other->Get(i));
    }
}

void TStrings::DefineProperties(TFiler& filer)
{
    filer.DefineProperty(
        "Strings",
        [this](TReader& reader) {
            reader.ReadListBegin();
            Clear();
            while (!reader.EndOfList()) {
                Add(reader.ReadString());
            }
            reader.ReadListEnd();
        },
        Count() > 0);
}

const TClassInfo& TStringList::Info()
{
    static const TClassInfo info{.name = "TStringList", .parent = &TStrings::Info()};
    return info;
}

void TStringList::CheckIndex(int index, int limit) const
{
    if (index < 0 || index > limit) {
        RaiseIndexError(index);
    }
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index, Count() - 1);
    return lines_[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, const std::string& text)
{
    CheckIndex(index, Count() - 1);
    lines_[static_cast<std::size_t>(index)] = text;
    Changed();
}

void TStringList::Insert(int index, const std::string& text)
{
    CheckIndex(index, Count());
    lines_.insert(lines_.begin() + index, text);
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index, Count() - 1);
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (!lines_.empty()) {
        lines_.clear();
        Changed();
    }
}

void TStringList::Changed()
{
    if (OnChange) {
        OnChange(this);
    }
}

}  // namespace fw
