#pragma once

// The object model: TObject with run-time class information, TPersistent, and TComponent
// with ownership, names bound to the owner's fields, and the loading life cycle.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ClassesTypeInfo.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

class TFiler;
class TReader;

// Failures of the stream and filing layer.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EFilerError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EReadError : public EFilerError {
public:
    using EFilerError::EFilerError;
};
class EClassNotFound : public EFilerError {
public:
    using EFilerError::EFilerError;
};
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};
class EComponentError : public Exception {
public:
    using Exception::Exception;
};
class EListError : public Exception {
public:
    using Exception::Exception;
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static const TClassInfo& Info();
    virtual const TClassInfo& ClassInfo() const { return Info(); }
    std::string ClassName() const { return ClassInfo().name; }
    bool InheritsFrom(const TClassInfo& ancestor) const { return ClassInfo().InheritsFrom(ancestor); }
};

class TPersistent : public TObject {
public:
    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    // Copies source's state; the default asks source to AssignTo this and fails if it cannot.
    virtual void Assign(TPersistent* source);
    // Non-published data offered to the filer by name (picture data, string lists …).
    virtual void DefineProperties(TFiler& filer);
    virtual TPersistent* GetOwner() { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* dest);
};

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : std::uint32_t {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csAncestor = 1u << 5,
    csUpdating = 1u << 6,
    csFixups = 1u << 7,
    csInline = 1u << 8,
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // Fails when a sibling already has the name; binds the owner's field of that name.
    virtual void SetName(const std::string& newName);
    std::int32_t GetTag() const { return tag_; }
    void SetTag(std::int32_t value) { tag_ = value; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    // Case-insensitive; nullptr for an empty name or none found.
    TComponent* FindComponent(const std::string& componentName) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    std::uint32_t ComponentState() const { return state_; }
    bool HasState(TComponentStateFlag flag) const { return (state_ & flag) != 0; }
    void SetState(std::uint32_t flags) { state_ |= flags; }
    void ClearState(std::uint32_t flags) { state_ &= ~flags; }

    // Called once the whole layout holding this component has been read.
    virtual void Loaded();
    // Passed on to every owned component; overrides call the base to keep it going.
    virtual void Notification(TComponent* component, TOperation operation);
    // The component the layout nests this one in (controls take it as their Parent).
    virtual void SetParentComponent(TComponent* parent);
    virtual void ReadState(TReader& reader);
    TPersistent* GetOwner() override { return owner_; }

private:
    void BindOwnerField(TComponent* value);

    TComponent* owner_ = nullptr;
    std::string name_;
    std::int32_t tag_ = 0;
    std::vector<TComponent*> components_;
    std::uint32_t state_ = 0;
};

}  // namespace fw
