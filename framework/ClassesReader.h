#pragma once

// The layout reader: builds a component tree from its binary description ("TPF0" stream).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/ClassesComponent.h"
#include "framework/ClassesLayoutFormat.h"
#include "framework/ClassesStreams.h"

namespace fw {

class TCollection;

class TFiler : public TObject {
public:
    using ReadProc = std::function<void(TReader& reader)>;
    using StreamProc = std::function<void(TStream& stream)>;

    explicit TFiler(TStream& stream) : stream_(stream) {}

    // hasData tells a writer whether to store the property; the reader ignores it.
    virtual void DefineProperty(const std::string& name, ReadProc readProc, bool hasData) = 0;
    virtual void DefineBinaryProperty(const std::string& name, StreamProc readProc, bool hasData) = 0;

    TComponent* Root() const { return root_; }

protected:
    TStream& stream_;
    TComponent* root_ = nullptr;
};

class TReader : public TFiler {
public:
    explicit TReader(TStream& stream) : TFiler(stream) {}

    // Reads a whole description into root (its class name is skipped) or, for a null root,
    // into a new component of the stored class. Returns the root.
    TComponent* ReadRootComponent(TComponent* root);
    // Properties then children of a component; called through TComponent::ReadState.
    void ReadData(TComponent* instance);

    void DefineProperty(const std::string& name, ReadProc readProc, bool hasData) override;
    void DefineBinaryProperty(const std::string& name, StreamProc readProc, bool hasData) override;

    // Value readers, each consuming a tag and its data.
    TValueType ReadValue();
    TValueType NextValue();
    bool EndOfList();
    void ReadListBegin();
    void ReadListEnd();
    std::int32_t ReadInteger();
    std::int64_t ReadInt64();
    long double ReadFloat();
    std::string ReadString();
    std::string ReadIdent();
    bool ReadBoolean();
    char ReadChar();
    std::string ReadStr();  // a bare short string, no tag
    void SkipValue();

    TComponent* Owner() const { return owner_; }
    TComponent* Parent() const { return parent_; }

    // Hooks. FindMethod: a handler for a name the root does not publish (empty: not found).
    std::function<TNotifyEvent(TComponent* root, const std::string& name)> OnFindMethod;
    std::function<const TClassInfo*(const std::string& className)> OnFindComponentClass;
    std::function<TComponent*(const TClassInfo& info, TComponent* owner)> OnCreateComponent;
    // Returns true when the failure is handled: the property's value is then skipped.
    std::function<bool(const std::string& message)> OnError;
    // Around the root's data, e.g. for a form to reset and apply its scaling.
    std::function<void(TComponent* root)> OnReadRootStart;
    std::function<void(TComponent* root)> OnReadRootEnd;

private:
    struct Fixup {
        TPersistent* instance;
        const PropertyInfo* property;
        std::string name;
    };
    class DepthGuard;

    std::uint8_t ReadByte();
    template <class T>
    T ReadRaw();
    std::string ReadBytes(std::uint32_t count);
    std::uint32_t ReadCount(std::uint32_t unitSize);
    void CheckValue(TValueType actual, TValueType expected);
    std::int64_t ReadIntegerData(TValueType type);

    TComponent* ReadComponent(TComponent* parent);
    const TClassInfo& FindComponentClass(const std::string& className);
    void ReadProperty(TPersistent* instance);
    void ReadPropertyValue(TPersistent* instance, const PropertyInfo& property);
    void ReadObjectValue(TPersistent* instance, const PropertyInfo& property);
    void ReadCollection(TCollection& collection);
    std::int64_t ReadSet(const PropertyInfo& property);
    void FixupReferences();

    TComponent* owner_ = nullptr;
    TComponent* parent_ = nullptr;
    std::string propName_;
    bool propertyClaimed_ = false;
    std::vector<TComponent*> loaded_;
    std::vector<Fixup> fixups_;
    int depth_ = 0;
};

// Reads into instance the description of its class and of each ancestor class below baseClass,
// most basic first: the raw-data resource named after each class, where one exists. Fails with
// "Resource %s not found" (the instance's class name) when none does. configure may set hooks on
// each reader before it runs.
void InitInheritedComponent(TComponent* instance, const TClassInfo& baseClass,
                            const std::function<void(TReader& reader)>& configure = {});

// Resolves references left pending by readers when a layout names a component of another root.
void SetFindGlobalComponent(std::function<TComponent*(const std::string& name)> finder);

}  // namespace fw
