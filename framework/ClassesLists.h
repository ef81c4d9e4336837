#pragma once

// Collections of owned items, and string lists.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ClassesComponent.h"

namespace fw {

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* collection) : collection_(collection) {}

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TCollection* Collection() const { return collection_; }
    int Index() const;
    TPersistent* GetOwner() override;

protected:
    // Tells the collection this item's data changed.
    void Changed();

private:
    TCollection* collection_ = nullptr;
};

class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection* collection)>;

    // owner may be null; the factory makes items of the collection's item class.
    TCollection(TPersistent* owner, ItemFactory itemFactory);
    ~TCollection() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TCollectionItem* Add();
    void Clear();
    void Delete(int index);
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int index) const;
    int IndexOf(const TCollectionItem* item) const;

    // Changes inside a bracket notify once, at the last EndUpdate.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    TPersistent* GetOwner() override { return owner_; }
    void Assign(TPersistent* source) override;

    // Called after a change; item is null when the whole collection changed.
    virtual void Update(TCollectionItem* item);
    void Changed(TCollectionItem* item = nullptr);

private:
    TPersistent* owner_ = nullptr;
    ItemFactory itemFactory_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
    int updateCount_ = 0;
    bool changedWhileUpdating_ = false;
};

class TStrings : public TPersistent {
public:
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& text) = 0;
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string Strings(int index) const { return Get(index); }
    int Add(const std::string& text);
    int IndexOf(const std::string& text) const;
    // Lines joined with CR LF after each; setting splits at CR LF, CR or LF.
    std::string Text() const;
    void SetText(const std::string& text);

    void Assign(TPersistent* source) override;
    // "Strings": the lines as a list of strings.
    void DefineProperties(TFiler& filer) override;

protected:
    // Called after each change so that an owning control can refresh.
    virtual void Changed() {}
};

class TStringList : public TStrings {
public:
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    int Count() const override { return static_cast<int>(lines_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;

    std::function<void(TStringList*)> OnChange;

protected:
    void Changed() override;

private:
    void CheckIndex(int index, int limit) const;

    std::vector<std::string> lines_;
};

}  // namespace fw
